// PE32+ resources written on Linux: a new resource section goes into the file as Windows'
// resource update does, without moving any section the program needs. The resource section is
// rewritten in place when it is the last section, else a new one is added behind the last (the
// old one stays, unused and renamed).
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "charset/Unicode.h"
#include "filesink.h"
#include "littleendian.h"
#include "pe_layout.h"
#include "pe_resources.h"

namespace winposix {

namespace {

// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ
constexpr uint32_t kResourceSectionFlags = 0x40000040;

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
