// PE32+ resources read on Linux: the resource directory (type, name, language) is walked with
// every offset checked against the section and the file, and gives views into the mapped file.
#include <fstream>
#include <stdexcept>

#include "charset/Unicode.h"
#include "littleendian.h"
#include "pe_layout.h"
#include "pe_resources.h"

namespace winposix {

namespace {

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
    if (at > limit_ || n > limit_ - at) FailPe(path_, "the resource directory points outside its section");
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
    if (count > budget_) FailPe(path_, "the resource directory has more entries than its section can hold");
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
        if (named) FailPe(path_, "a resource language is a name");
        key.language = static_cast<uint16_t>(id);
      }
      if (level < 2) {
        if (!isDirectory) FailPe(path_, "the resource directory is malformed (data where a table belongs)");
        Walk(target & 0x7FFFFFFF, level + 1, key, out);
        continue;
      }
      if (isDirectory) FailPe(path_, "the resource directory is nested deeper than type, name and language");
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

}  // namespace winposix
