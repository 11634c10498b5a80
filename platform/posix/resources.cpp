// The resource section image: its directory, its construction at build time,
// and the Win32 resource calls over the running executable's own section.
#include "resources.h"

#include <cstring>
#include <set>
#include <stdexcept>
#include <utility>

#include "appendedimage.h"
#include "errors.h"
#include "littleendian.h"
#include "mappedfile.h"
#include "winapi.h"
#include "win/winresource.h"

// The start of the section image, defined by the executable's generated
// assembly file; null in programs that carry no resources.
extern "C" const uint8_t stowaway_resources[] __attribute__((weak));

namespace winposix {

namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kEntrySize = 16;

void Put32(std::string& out, size_t at, uint32_t v) { winposix::Put32(reinterpret_cast<uint8_t*>(out.data()) + at, v); }

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

size_t Align16(size_t n) { return (n + 15) & ~size_t(15); }

}  // namespace

bool ParseResourceSection(const uint8_t* image, size_t size, std::vector<ResourceEntry>& entries) {
  entries.clear();
  if (!image || size < kHeaderSize || std::memcmp(image, kResourceMagic, 8) != 0) return false;
  const uint32_t count = Get32(image + 8);
  const uint32_t total = Get32(image + 12);
  if (total > size || total < kHeaderSize || count > (total - kHeaderSize) / kEntrySize) return false;
  std::vector<ResourceEntry> result;
  result.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = image + kHeaderSize + size_t(i) * kEntrySize;
    ResourceEntry entry;
    entry.type = Get32(e);
    const uint32_t nameAt = Get32(e + 4), dataAt = Get32(e + 8), dataSize = Get32(e + 12);
    if (nameAt >= total || dataAt > total || dataSize > total - dataAt) return false;
    const void* end = std::memchr(image + nameAt, '\0', total - nameAt);
    if (!end) return false;
    entry.name.assign(reinterpret_cast<const char*>(image + nameAt));
    entry.data = image + dataAt;
    entry.size = dataSize;
    result.push_back(std::move(entry));
  }
  entries = std::move(result);
  return true;
}

std::string BuildResourceDirectory(const std::vector<ResourceSpan>& spans, std::vector<size_t>& dataAt) {
  std::set<std::pair<uint32_t, std::string>> seen;
  for (const ResourceSpan& in : spans) {
    if (in.name.empty()) throw std::invalid_argument("resource name is empty");
    for (char c : in.name)
      if (c == '\0' || static_cast<unsigned char>(c) > 0x7F)
        throw std::invalid_argument("resource name '" + in.name + "' is not plain ASCII");
    if (!seen.insert({in.type, Upper(in.name)}).second)
      throw std::invalid_argument("resource " + Upper(in.name) + " of type " + std::to_string(in.type) +
                                  " given twice");
  }
  size_t at = kHeaderSize + spans.size() * kEntrySize;
  std::vector<size_t> nameAt;
  for (const ResourceSpan& in : spans) {
    nameAt.push_back(at);
    at += in.name.size() + 1;
  }
  const size_t directoryEnd = at;
  dataAt.clear();
  for (const ResourceSpan& in : spans) {
    at = Align16(at);
    dataAt.push_back(at);
    at += in.size;
  }
  if (at > 0xFFFFFFFFu) throw std::invalid_argument("resources exceed 4 GiB");
  std::string directory(directoryEnd, '\0');
  std::memcpy(directory.data(), kResourceMagic, 8);
  Put32(directory, 8, static_cast<uint32_t>(spans.size()));
  Put32(directory, 12, static_cast<uint32_t>(at));
  for (size_t i = 0; i < spans.size(); ++i) {
    const size_t e = kHeaderSize + i * kEntrySize;
    Put32(directory, e, spans[i].type);
    Put32(directory, e + 4, static_cast<uint32_t>(nameAt[i]));
    Put32(directory, e + 8, static_cast<uint32_t>(dataAt[i]));
    Put32(directory, e + 12, static_cast<uint32_t>(spans[i].size));
    const std::string name = Upper(spans[i].name);
    std::memcpy(directory.data() + nameAt[i], name.c_str(), name.size() + 1);
  }
  return directory;
}

std::string BuildResourceSection(const std::vector<ResourceInput>& inputs) {
  std::vector<ResourceSpan> spans;
  for (const ResourceInput& in : inputs) spans.push_back({in.type, in.name, in.data.size()});
  std::vector<size_t> dataAt;
  std::string image = BuildResourceDirectory(spans, dataAt);
  image.resize(inputs.empty() ? image.size() : dataAt.back() + inputs.back().data.size(), '\0');
  for (size_t i = 0; i < inputs.size(); ++i)
    std::memcpy(image.data() + dataAt[i], inputs[i].data.data(), inputs[i].data.size());
  return image;
}

const std::vector<ResourceEntry>& OwnResources() {
  static const std::vector<ResourceEntry> entries = [] {
    std::vector<ResourceEntry> e;
    // An image appended to the program's own file replaces the linked-in section. The
    // file stays mapped for the life of the process: the entries point into it.
    try {
      static const MappedFile self("/proc/self/exe");
      AppendedImage image;
      if (FindAppendedImage(self.data(), self.size(), image)) {
        if (!ParseResourceSection(self.data() + image.offset, image.size, e))
          ReportOnce("the resources appended to this program are damaged");
        return e;
      }
    } catch (const std::exception& err) {
      ReportOnce(err.what());
    }
    if (stowaway_resources && std::memcmp(stowaway_resources, kResourceMagic, 8) == 0)
      ParseResourceSection(stowaway_resources, Get32(stowaway_resources + 12), e);
    return e;
  }();
  return entries;
}

}  // namespace winposix

using namespace winposix;

namespace {

// The running executable's module handle: any fixed non-null value.
HMODULE OwnModule() {
  static int marker;
  return reinterpret_cast<HMODULE>(&marker);
}

bool IsNumeric(LPCSTR p, uint32_t& number) {
  if (IS_INTRESOURCE(p)) {
    number = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(p));
    return true;
  }
  // "#10" names a numeric type or name too.
  if (p[0] == '#' && p[1]) {
    uint32_t n = 0;
    for (const char* c = p + 1; *c; ++c) {
      if (*c < '0' || *c > '9' || n > 0xFFFF) return false;
      n = n * 10 + static_cast<uint32_t>(*c - '0');
    }
    number = n;
    return true;
  }
  return false;
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return OwnModule();
}

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  if (hModule && hModule != OwnModule()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (!lpName || !lpType) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (OwnResources().empty()) {
    // As Windows for an image without a resource section.
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  uint32_t type = 0;
  if (!IsNumeric(lpType, type)) {
    // Only numeric types are carried.
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  uint32_t number = 0;
  std::string name;
  if (IsNumeric(lpName, number))
    name = "#" + std::to_string(number);
  else
    for (const char* c = lpName; *c; ++c) name += (*c >= 'a' && *c <= 'z') ? static_cast<char>(*c - 'a' + 'A') : *c;
  bool typeSeen = false;
  for (const ResourceEntry& e : OwnResources()) {
    if (e.type != type) continue;
    typeSeen = true;
    if (e.name == name) return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&e));
  }
  SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo) {
  if (!hResInfo) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<uint8_t*>(reinterpret_cast<const ResourceEntry*>(hResInfo)->data);
}

LPVOID LockResource(HGLOBAL hResData) { return hResData; }

DWORD SizeofResource(HMODULE, HRSRC hResInfo) {
  if (!hResInfo) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return reinterpret_cast<const ResourceEntry*>(hResInfo)->size;
}
