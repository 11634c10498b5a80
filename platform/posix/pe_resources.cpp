// PE32+ resources on Linux. Reading walks the resource directory (type, name, language) with
// every offset checked against the section and the file, and gives views into the mapped file.
// Writing puts a new resource section into the file as Windows' resource update does, without
// moving any section the program needs: the resource section is rewritten in place when it is
// the last section, else a new one is added behind the last (the old one stays, unused and
// renamed).
#include "pe_resources.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>

#include "charset/Unicode.h"
#include "filesink.h"
#include "littleendian.h"

namespace winposix {

namespace {

constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kSecurityDirectoryIndex = 4;
// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ
constexpr uint32_t kResourceSectionFlags = 0x40000040;

uint64_t AlignUp(uint64_t n, uint64_t to) { return (n + to - 1) / to * to; }

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw std::runtime_error(path + ": " + what);
}

struct Section {
  uint32_t virtualSize = 0, va = 0, rawSize = 0, rawAt = 0;
  size_t headerAt = 0;  // of its header in the file

  // The bytes of the file the loader maps: those beyond the section's size in memory are not.
  uint32_t Mapped() const { return virtualSize ? std::min(rawSize, virtualSize) : rawSize; }
};

// The parts of the headers that the resources concern, each checked against the file.
struct PeLayout {
  size_t coffAt = 0;      // the COFF file header
  size_t optionalAt = 0;  // the optional header
  size_t sectionsAt = 0;  // the first section header
  uint32_t sectionAlignment = 0, fileAlignment = 0, sizeOfHeaders = 0;
  uint32_t resourceRva = 0, resourceSize = 0;
  uint32_t symbolTableAt = 0;
  std::vector<Section> sections;

  size_t DirectoryAt(uint32_t index) const { return optionalAt + 112 + 8 * size_t(index); }
};

PeLayout ParseHeaders(const uint8_t* file, uint64_t size, const std::string& path) {
  PeLayout l;
  if (size < 64 || file[0] != 'M' || file[1] != 'Z') Fail(path, "not a PE executable");
  const uint32_t peAt = Get32(file + 0x3C);
  if (peAt > size || size - peAt < 24 || std::memcmp(file + peAt, "PE\0\0", 4) != 0)
    Fail(path, "not a PE executable (no PE header inside the file)");
  l.coffAt = peAt + 4;
  const uint16_t count = Get16(file + l.coffAt + 2);
  const uint16_t optionalSize = Get16(file + l.coffAt + 16);
  l.symbolTableAt = Get32(file + l.coffAt + 8);
  l.optionalAt = l.coffAt + 20;
  if (optionalSize < 112 + 8 * (kSecurityDirectoryIndex + 1) || optionalSize > size - l.optionalAt)
    Fail(path, "the optional header lies outside the file or is too short");
  const uint8_t* opt = file + l.optionalAt;
  if (Get16(opt) != 0x20B) Fail(path, "not a 64-bit (PE32+) executable");
  if (Get32(opt + 108) <= kSecurityDirectoryIndex) Fail(path, "the optional header lists too few data directories");
  l.sectionAlignment = Get32(opt + 32);
  l.fileAlignment = Get32(opt + 36);
  l.sizeOfHeaders = Get32(opt + 60);
  auto powerOfTwo = [](uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
  if (!powerOfTwo(l.fileAlignment) || !powerOfTwo(l.sectionAlignment) || l.fileAlignment > l.sectionAlignment ||
      l.fileAlignment > 0x10000 || l.sizeOfHeaders > size)
    Fail(path, "bad section or file alignment in the optional header");
  l.resourceRva = Get32(file + l.DirectoryAt(kResourceDirectoryIndex));
  l.resourceSize = Get32(file + l.DirectoryAt(kResourceDirectoryIndex) + 4);
  l.sectionsAt = l.optionalAt + optionalSize;
  if (uint64_t(count) * kSectionHeaderSize > size - l.sectionsAt)
    Fail(path, "the section headers lie outside the file");
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* h = file + l.sectionsAt + size_t(i) * kSectionHeaderSize;
    Section s;
    s.virtualSize = Get32(h + 8);
    s.va = Get32(h + 12);
    s.rawSize = Get32(h + 16);
    s.rawAt = Get32(h + 20);
    s.headerAt = l.sectionsAt + size_t(i) * kSectionHeaderSize;
    if (s.rawSize != 0 && (s.rawAt > size || s.rawSize > size - s.rawAt)) Fail(path, "a section lies outside the file");
    // As the loader requires, sections follow one another in memory without overlapping, so
    // that an address belongs to one section only (else the resource data read back would
    // depend on which section is looked at first).
    if (!l.sections.empty()) {
      const Section& p = l.sections.back();
      if (s.va < AlignUp(uint64_t(p.va) + (p.virtualSize ? p.virtualSize : p.rawSize), l.sectionAlignment))
        Fail(path, "the sections overlap in memory or are out of order");
    }
    l.sections.push_back(s);
  }
  return l;
}

// The file offset of `size` bytes at the relative virtual address, or throws when they are not
// all in one section's bytes in the file.
uint64_t RvaToOffset(const PeLayout& l, uint32_t rva, uint32_t size, const std::string& path) {
  for (const Section& s : l.sections)
    if (rva >= s.va && rva - s.va < s.Mapped() && size <= s.Mapped() - (rva - s.va))
      return uint64_t(s.rawAt) + (rva - s.va);
  Fail(path, "resource data lies outside the file's sections");
}

// One resource as the directory holds it.
struct RawResource {
  uint16_t typeId = 0, nameId = 0, language = 0;
  std::u16string typeName, name;  // empty for a numeric type or name
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

// Walks the resource directory of the three levels Windows uses: type, name, language.
class DirectoryReader {
 public:
  DirectoryReader(const uint8_t* file, uint64_t fileSize, const PeLayout& l, const std::string& path)
      : file_(file), layout_(l), path_(path) {
    const uint64_t at = RvaToOffset(l, l.resourceRva, 16, path);
    // Directory offsets count from the directory's start and stay inside its section.
    for (const Section& s : l.sections)
      if (l.resourceRva >= s.va && l.resourceRva - s.va < s.Mapped()) limit_ = s.Mapped() - (l.resourceRva - s.va);
    limit_ = std::min<uint64_t>(limit_, fileSize - at);
    base_ = file + at;
    // Every entry of a well-formed directory takes 8 bytes of its own; a directory whose
    // tables are shared by several entries would make the walk grow beyond that.
    budget_ = limit_ / 8 + 1;
  }

  std::vector<RawResource> Read() {
    std::vector<RawResource> out;
    RawResource key;
    Walk(0, 0, key, out);
    return out;
  }

 private:
  void Need(uint64_t at, uint64_t n) const {
    if (at > limit_ || n > limit_ - at) Fail(path_, "the resource directory points outside its section");
  }

  std::u16string String(uint32_t at) const {
    Need(at, 2);
    const uint16_t length = Get16(base_ + at);
    Need(at + 2, uint64_t(length) * 2);
    std::u16string s(length, u'\0');
    for (uint16_t i = 0; i < length; ++i) s[i] = static_cast<char16_t>(Get16(base_ + at + 2 + 2 * size_t(i)));
    return s;
  }

  void Walk(uint32_t at, int level, RawResource& key, std::vector<RawResource>& out) {
    Need(at, 16);
    const uint32_t count = uint32_t(Get16(base_ + at + 12)) + Get16(base_ + at + 14);
    Need(at + 16, uint64_t(count) * 8);
    if (count > budget_) Fail(path_, "the resource directory has more entries than its section can hold");
    budget_ -= count;
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = base_ + at + 16 + 8 * size_t(i);
      const uint32_t id = Get32(e), target = Get32(e + 4);
      const bool named = (id & 0x80000000u) != 0, isDirectory = (target & 0x80000000u) != 0;
      if (level == 0) {
        key.typeName = named ? String(id & 0x7FFFFFFF) : std::u16string();
        key.typeId = named ? 0 : static_cast<uint16_t>(id);
      } else if (level == 1) {
        key.name = named ? String(id & 0x7FFFFFFF) : std::u16string();
        key.nameId = named ? 0 : static_cast<uint16_t>(id);
      } else {
        if (named) Fail(path_, "a resource language is a name");
        key.language = static_cast<uint16_t>(id);
      }
      if (level < 2) {
        if (!isDirectory) Fail(path_, "the resource directory is malformed (data where a table belongs)");
        Walk(target & 0x7FFFFFFF, level + 1, key, out);
        continue;
      }
      if (isDirectory) Fail(path_, "the resource directory is nested deeper than type, name and language");
      Need(target, 16);
      const uint32_t rva = Get32(base_ + target), size = Get32(base_ + target + 4);
      key.data = file_ + RvaToOffset(layout_, rva, size, path_);
      key.size = size;
      out.push_back(key);
    }
  }

  const uint8_t* file_;
  const PeLayout& layout_;
  const std::string& path_;
  const uint8_t* base_ = nullptr;
  uint64_t limit_ = 0;
  uint64_t budget_ = 0;
};

std::vector<RawResource> ReadRaw(const MappedFile& mapped, const std::string& path, PeLayout& layout) {
  layout = ParseHeaders(mapped.data(), mapped.size(), path);
  if (layout.resourceRva == 0 && layout.resourceSize == 0) return {};
  return DirectoryReader(mapped.data(), mapped.size(), layout, path).Read();
}

std::string NameText(const std::u16string& name, uint16_t id) {
  if (!name.empty()) return Utf16ToUtf8(name);
  std::string text = "#";
  text += std::to_string(id);
  return text;
}

// A type or name of the directory being written: a number, or a string.
struct DirectoryKey {
  std::u16string text;  // empty for a number
  uint16_t id = 0;
  // Named entries come first, in ordinal order of their text; numbered ones follow.
  bool operator<(const DirectoryKey& o) const {
    if (text.empty() != o.text.empty()) return !text.empty();
    return text.empty() ? id < o.id : text < o.text;
  }
};

DirectoryKey KeyOf(const std::string& text, uint32_t number) {
  DirectoryKey k;
  if (text.empty()) {
    k.id = static_cast<uint16_t>(number);
    return k;
  }
  if (text[0] == '#' && text.size() > 1 && text.size() <= 6 &&
      std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      std::stoul(text.substr(1)) <= 0xFFFF) {
    k.id = static_cast<uint16_t>(std::stoul(text.substr(1)));
    return k;
  }
  k.text = Utf8ToUtf16(text);
  if (k.text.size() > 0xFFFF) throw std::runtime_error("a resource name is longer than 65535 characters");
  return k;
}

using LanguageMap = std::map<uint16_t, size_t>;  // language -> index in the write order
using NameMap = std::map<DirectoryKey, LanguageMap>;
using TypeMap = std::map<DirectoryKey, NameMap>;

// The directory part of a resource section (tables, data entries, strings) for resources in
// `order`, whose data lie at `dataRva` with `sizes`. Its size depends on the keys only.
std::string BuildDirectory(const TypeMap& tree, size_t resources, const std::vector<uint32_t>& dataRva,
                           const std::vector<uint64_t>& sizes) {
  // Sizes first: the tables, then the data entries, then the strings.
  size_t tables = 16 + 8 * tree.size();
  for (const auto& [type, names] : tree) {
    tables += 16 + 8 * names.size();
    for (const auto& [name, languages] : names) tables += 16 + 8 * languages.size();
  }
  const size_t entriesAt = tables;
  size_t stringsAt = entriesAt + 16 * resources, stringsEnd = stringsAt;
  for (const auto& [type, names] : tree) {
    stringsEnd += type.text.empty() ? 0 : 2 + 2 * type.text.size();
    for (const auto& [name, languages] : names) stringsEnd += name.text.empty() ? 0 : 2 + 2 * name.text.size();
  }
  std::string out(stringsEnd, '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  size_t nextTable = 0;
  auto table = [&](size_t named, size_t numbered) {
    const size_t at = nextTable;
    Put16(p + at + 12, static_cast<uint32_t>(named));
    Put16(p + at + 14, static_cast<uint32_t>(numbered));
    nextTable += 16 + 8 * (named + numbered);
    return at;
  };
  auto idField = [&](const DirectoryKey& k) -> uint32_t {
    if (k.text.empty()) return k.id;
    const size_t at = stringsAt;
    Put16(p + at, static_cast<uint32_t>(k.text.size()));
    for (size_t i = 0; i < k.text.size(); ++i) Put16(p + at + 2 + 2 * i, k.text[i]);
    stringsAt += 2 + 2 * k.text.size();
    return 0x80000000u | static_cast<uint32_t>(at);
  };
  auto counts = [](const auto& m) {
    size_t named = 0;
    for (const auto& kv : m) named += kv.first.text.empty() ? 0 : 1;
    return std::make_pair(named, m.size() - named);
  };
  const auto [namedTypes, numberedTypes] = counts(tree);
  const size_t root = table(namedTypes, numberedTypes);
  size_t t = 0;
  for (const auto& [type, names] : tree) {
    const auto [namedNames, numberedNames] = counts(names);
    const size_t typeTable = table(namedNames, numberedNames);
    Put32(p + root + 16 + 8 * t, idField(type));
    Put32(p + root + 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(typeTable));
    ++t;
    size_t n = 0;
    for (const auto& [name, languages] : names) {
      const size_t nameTable = table(0, languages.size());
      Put32(p + typeTable + 16 + 8 * n, idField(name));
      Put32(p + typeTable + 16 + 8 * n + 4, 0x80000000u | static_cast<uint32_t>(nameTable));
      ++n;
      size_t l = 0;
      for (const auto& [language, index] : languages) {
        const size_t entry = entriesAt + 16 * index;
        Put32(p + nameTable + 16 + 8 * l, language);
        Put32(p + nameTable + 16 + 8 * l + 4, static_cast<uint32_t>(entry));
        Put32(p + entry, dataRva[index]);
        Put32(p + entry + 4, static_cast<uint32_t>(sizes[index]));
        ++l;
      }
    }
  }
  return out;
}

}  // namespace

bool IsPeFile(const std::string& unixPath) {
  std::ifstream in(unixPath, std::ios::binary);
  char head[2] = {};
  return in.read(head, 2) && head[0] == 'M' && head[1] == 'Z';
}

std::vector<PendingResource> ReadPeUpdateResources(const std::string& unixPath) {
  auto mapped = std::make_shared<const MappedFile>(unixPath);
  PeLayout layout;
  std::vector<PendingResource> result;
  for (const RawResource& r : ReadRaw(*mapped, unixPath, layout)) {
    PendingResource p;
    p.type = r.typeName.empty() ? r.typeId : 0;
    p.typeName = r.typeName.empty() ? std::string() : Utf16ToUtf8(r.typeName);
    p.name = NameText(r.name, r.nameId);
    p.language = r.language;
    p.data = std::string_view(reinterpret_cast<const char*>(r.data), r.size);
    p.owner = mapped;
    result.push_back(std::move(p));
  }
  return result;
}

std::vector<ExecutableResource> ReadPeResources(const std::shared_ptr<const MappedFile>& mapped,
                                                const std::string& unixPath) {
  PeLayout layout;
  std::vector<ExecutableResource> result;
  for (const RawResource& r : ReadRaw(*mapped, unixPath, layout))
    if (r.typeName.empty())
      result.push_back({r.typeId, NameText(r.name, r.nameId), r.language,
                        std::string_view(reinterpret_cast<const char*>(r.data), r.size), mapped});
  return result;
}

void WritePe(int fd, const MappedFile& old, const std::vector<PendingResource>& resources) {
  const std::string path = "the executable";
  const uint8_t* file = old.data();
  const PeLayout l = ParseHeaders(file, old.size(), path);

  // Where the sections end, in memory and in the file; the file's bytes behind the last
  // section (a symbol table, appended data) are kept behind the new one.
  uint64_t imageEnd = AlignUp(l.sizeOfHeaders, l.sectionAlignment), dataEnd = l.sizeOfHeaders, firstRaw = old.size();
  int lastInMemory = -1;
  for (size_t i = 0; i < l.sections.size(); ++i) {
    const Section& s = l.sections[i];
    const uint64_t end = AlignUp(uint64_t(s.va) + std::max(s.virtualSize, s.rawSize), l.sectionAlignment);
    if (end >= imageEnd) imageEnd = end, lastInMemory = static_cast<int>(i);
    if (s.rawSize) {
      dataEnd = std::max<uint64_t>(dataEnd, uint64_t(s.rawAt) + s.rawSize);
      firstRaw = std::min<uint64_t>(firstRaw, s.rawAt);
    }
  }
  if (imageEnd > 0xFFFFFFFFu - l.sectionAlignment || dataEnd > 0xFFFFFFFFu - l.fileAlignment)
    throw std::runtime_error("the executable's image leaves no room for another section");
  // The resource section is rewritten in place when it is the last one, in memory and in
  // the file; otherwise the new one gets a header of its own behind the others.
  Section target;
  bool inPlace = false;
  if (lastInMemory >= 0 && l.resourceRva != 0) {
    const Section& s = l.sections[size_t(lastInMemory)];
    uint64_t othersEnd = l.sizeOfHeaders;
    for (const Section& o : l.sections)
      if (&o != &s && o.rawSize) othersEnd = std::max<uint64_t>(othersEnd, uint64_t(o.rawAt) + o.rawSize);
    inPlace = s.va == l.resourceRva && (s.rawSize == 0 || s.rawAt >= othersEnd);
  }
  uint64_t keep = dataEnd;  // old bytes written before the new section
  if (inPlace) {
    target = l.sections[size_t(lastInMemory)];
    if (target.rawSize) keep = target.rawAt;
    target.rawAt = static_cast<uint32_t>(AlignUp(keep, l.fileAlignment));
  } else {
    target.headerAt = l.sectionsAt + l.sections.size() * kSectionHeaderSize;
    if (target.headerAt + kSectionHeaderSize > std::min<uint64_t>(l.sizeOfHeaders, firstRaw))
      throw std::runtime_error("no room in the executable's headers for another section");
    for (size_t i = 0; i < kSectionHeaderSize; ++i)
      if (file[target.headerAt + i] != 0)
        throw std::runtime_error("the executable's headers hold data where another section header would go");
    target.va = static_cast<uint32_t>(imageEnd);
    target.rawAt = static_cast<uint32_t>(AlignUp(dataEnd, l.fileAlignment));
  }

  // The directory tree, then the data of each resource, 8-byte aligned, in write order.
  const std::vector<const PendingResource*> order = WriteOrder(resources);
  TypeMap tree;
  for (size_t i = 0; i < order.size(); ++i) {
    const PendingResource& r = *order[i];
    tree[KeyOf(r.typeName, r.type)][KeyOf(r.name, 0)][r.language] = i;
  }
  std::vector<uint32_t> dataRva(order.size(), 0);
  std::vector<uint64_t> sizes(order.size(), 0);
  std::string directory = BuildDirectory(tree, order.size(), dataRva, sizes);

  static const uint8_t zeros[4096] = {};
  auto pad = [&](uint64_t n) {
    for (; n > 0; n -= std::min<uint64_t>(n, sizeof zeros)) WriteFully(fd, zeros, std::min<uint64_t>(n, sizeof zeros));
  };
  WriteFully(fd, file, keep);
  pad(target.rawAt - keep);
  WriteFully(fd, directory.data(), directory.size());
  uint64_t at = directory.size();
  for (size_t i = 0; i < order.size(); ++i) {
    const uint64_t start = AlignUp(at, 8);
    pad(start - at);
    dataRva[i] = static_cast<uint32_t>(target.va + start);
    if (order[i]->producer) {
      FileSink sink(fd, target.rawAt + start);
      Produce(*order[i], sink);
      sink.Flush();
      sizes[i] = sink.Size();
    } else {
      WriteFully(fd, order[i]->data.data(), order[i]->data.size());
      sizes[i] = order[i]->data.size();
    }
    at = start + sizes[i];
    if (target.va + at > 0xFFFFFFFFu - l.sectionAlignment)
      throw std::runtime_error("the resources make the executable's image larger than 4 GiB");
  }
  directory = BuildDirectory(tree, order.size(), dataRva, sizes);
  WriteFullyAt(fd, target.rawAt, directory.data(), directory.size());
  const uint64_t rawSize = AlignUp(at, l.fileAlignment);
  if (target.rawAt + rawSize + (old.size() - dataEnd) > 0xFFFFFFFFu)
    throw std::runtime_error("the resources make the executable larger than 4 GiB");
  pad(rawSize - at);
  WriteFully(fd, file + dataEnd, old.size() - dataEnd);

  // The headers: the section, the image size, the resource directory entry, the symbol
  // table's new place; the checksum is cleared and a signature (no longer valid) dropped.
  uint8_t header[kSectionHeaderSize] = {};
  std::memcpy(header, ".rsrc", 5);
  Put32(header + 8, static_cast<uint32_t>(at));
  Put32(header + 12, target.va);
  Put32(header + 16, static_cast<uint32_t>(rawSize));
  Put32(header + 20, target.rawAt);
  Put32(header + 36, kResourceSectionFlags);
  WriteFullyAt(fd, target.headerAt, header, sizeof header);
  uint8_t v[8];
  if (!inPlace) {
    Put16(v, static_cast<uint32_t>(l.sections.size() + 1));
    WriteFullyAt(fd, l.coffAt + 2, v, 2);
    // The old resource section keeps its place under another name, so that tools which
    // look for ".rsrc" by name find the new one.
    static const uint8_t rsrc[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (const Section& s : l.sections)
      if (std::memcmp(file + s.headerAt, rsrc, 8) == 0) WriteFullyAt(fd, s.headerAt, ".oldrsrc", 8);
  }
  if (l.symbolTableAt >= dataEnd) {
    Put32(v, static_cast<uint32_t>(l.symbolTableAt - dataEnd + target.rawAt + rawSize));
    WriteFullyAt(fd, l.coffAt + 8, v, 4);
  }
  Put32(v, static_cast<uint32_t>(AlignUp(uint64_t(target.va) + at, l.sectionAlignment)));
  WriteFullyAt(fd, l.optionalAt + 56, v, 4);
  Put32(v, 0);
  WriteFullyAt(fd, l.optionalAt + 64, v, 4);
  Put32(v, target.va);
  Put32(v + 4, static_cast<uint32_t>(at));
  WriteFullyAt(fd, l.DirectoryAt(kResourceDirectoryIndex), v, 8);
  std::memset(v, 0, sizeof v);
  WriteFullyAt(fd, l.DirectoryAt(kSecurityDirectoryIndex), v, 8);
}

}  // namespace winposix
