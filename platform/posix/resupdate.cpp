// BeginUpdateResourceA / UpdateResourceA / EndUpdateResourceA for our ELF executables, where
// the new resources are written as an image appended behind everything the loader maps, and
// for PE files (Windows programs built here), whose resource section is rewritten.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <string>
#include <sys/stat.h>
#include <sys/uio.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "appendedimage.h"
#include "errors.h"
#include "execresources.h"
#include "mappedfile.h"
#include "filesink.h"
#include "pathmap.h"
#include "pe_resources.h"
#include "pendingresource.h"
#include "resources.h"
#include "wholefile.h"
#include "winapi.h"
#include "win/winresource.h"

using namespace winposix;

namespace {

struct ResourceUpdate {
  std::string unixPath;
  bool pe = false;  // a PE file (else one of our ELF executables)
  std::vector<PendingResource> resources;
};

// The updates begun and not yet ended: a handle is checked against them, so that a stale or
// foreign handle is refused instead of followed.
std::mutex liveLock;
std::set<ResourceUpdate*> live;

ResourceUpdate* FromHandle(HANDLE h) {
  std::lock_guard<std::mutex> guard(liveLock);
  auto* u = static_cast<ResourceUpdate*>(h);
  return live.count(u) ? u : nullptr;
}

// Takes the update out of the live set; null when it was not there.
std::unique_ptr<ResourceUpdate> Release(HANDLE h) {
  std::lock_guard<std::mutex> guard(liveLock);
  auto* u = static_cast<ResourceUpdate*>(h);
  return std::unique_ptr<ResourceUpdate>(live.erase(u) ? u : nullptr);
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// A type or name as the resource image keeps it; false for a form it cannot hold.
bool ResourceKey(LPCSTR p, bool isType, uint32_t& number, std::string& name) {
  if (IS_INTRESOURCE(p)) {
    number = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(p));
    name = "#" + std::to_string(number);
    return number != 0;
  }
  if (isType || !*p) return false;  // the image holds numeric types only
  for (const char* c = p; *c; ++c)
    if (static_cast<unsigned char>(*c) > 0x7F) return false;
  name = Upper(p);
  return true;
}

// Writes the program part of the old file, then the new image and its trailer, at fd.
void WriteElf(int fd, const MappedFile& old, const std::vector<PendingResource>& resources) {
  AppendedImage appended;
  uint64_t programEnd = old.size();
  if (FindAppendedImage(old.data(), old.size(), appended)) programEnd = appended.offset;
  const uint64_t imageAt = (programEnd + 15) & ~uint64_t(15);

  // The directory is written with the produced resources' sizes as 0 and written again
  // once they are known; its own size depends on the names only.
  const std::vector<const PendingResource*> order = WriteOrder(resources);
  std::vector<ResourceSpan> spans;
  for (const PendingResource* r : order) spans.push_back({r->type, r->name, r->producer ? 0 : r->data.size()});
  std::vector<size_t> dataAt;
  std::string directory = BuildResourceDirectory(spans, dataAt);
  static const char zeros[16] = {};
  WriteFully(fd, old.data(), programEnd);
  WriteFully(fd, zeros, imageAt - programEnd);
  WriteFully(fd, directory.data(), directory.size());
  uint64_t at = directory.size();
  for (size_t i = 0; i < order.size(); ++i) {
    const uint64_t start = (at + 15) & ~uint64_t(15);
    WriteFully(fd, zeros, start - at);
    if (order[i]->producer) {
      FileSink sink(fd, imageAt + start);
      Produce(*order[i], sink);
      sink.Flush();
      spans[i].size = sink.Size();
    } else {
      WriteFully(fd, order[i]->data.data(), order[i]->data.size());
    }
    at = start + spans[i].size;
  }
  directory = BuildResourceDirectory(spans, dataAt);
  WriteFullyAt(fd, imageAt, directory.data(), directory.size());
  const std::string trailer = AppendedTrailer(imageAt, at);
  WriteFully(fd, trailer.data(), trailer.size());
}

// Writes the updated file into a new file beside it, and renames that over the old one,
// keeping its permissions. Returns 0 or an errno value.
int Rewrite(const ResourceUpdate& u) {
  const MappedFile old(u.unixPath);
  try {
    wholefile::Replacement file(u.unixPath, wholefile::Durability::None, wholefile::Mode::Kept);
    if (u.pe)
      WritePe(file.Descriptor(), old, u.resources);
    else
      WriteElf(file.Descriptor(), old, u.resources);
    file.Commit();
  } catch (const std::system_error& e) {
    return e.code().value();
  }
  return 0;
}

}  // namespace

HANDLE BeginUpdateResourceA(LPCSTR pFileName, BOOL bDeleteExistingResources) {
  if (!pFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string unixPath;
  DWORD error = 0;
  if (!MapWindowsPath(pFileName, unixPath, error)) {
    SetLastError(error);
    return nullptr;
  }
  if (::access(unixPath.c_str(), R_OK | W_OK) != 0) {
    FailErrno(errno, unixPath);
    return nullptr;
  }
  auto update = std::make_unique<ResourceUpdate>();
  update->unixPath = unixPath;
  try {
    update->pe = IsPeFile(unixPath);
    if (!update->pe && !IsElfExecutable(unixPath)) {
      SetLastError(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
    // The old resources are copied, as Windows reads them in at this call: the file may
    // change or shrink before EndUpdateResourceA, and a view of it would then fault.
    std::vector<PendingResource> old;
    if (bDeleteExistingResources)
      ;
    else if (update->pe)
      old = ReadPeUpdateResources(unixPath);
    else
      for (const ExecutableResource& r : ReadExecutableResources(unixPath)) {
        PendingResource p;
        p.type = r.type;
        p.name = r.name;
        p.data = r.data;
        p.owner = r.file;
        old.push_back(std::move(p));
      }
    for (PendingResource& p : old) {
      auto copy = std::make_shared<const std::string>(p.data);
      p.data = *copy;
      p.owner = std::move(copy);
    }
    update->resources = std::move(old);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  } catch (const std::exception&) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  std::lock_guard<std::mutex> guard(liveLock);
  live.insert(update.get());
  return update.release();
}

namespace {

// The resource of the update with the key that UpdateResourceA's arguments give (null when
// there is none yet); false for arguments it refuses. PE files keep one resource per
// language, as Windows does; our ELF image keeps none.
bool Lookup(ResourceUpdate& u, LPCSTR lpType, LPCSTR lpName, WORD language, PendingResource& key,
            std::vector<PendingResource>::iterator& found) {
  uint32_t number = 0;
  std::string typeName;
  if (!lpType || !lpName || !ResourceKey(lpType, true, key.type, typeName) ||
      !ResourceKey(lpName, false, number, key.name))
    return false;
  key.language = u.pe ? language : 0;
  found = u.resources.begin();
  while (found != u.resources.end() && !(found->type == key.type && found->typeName.empty() &&
                                         found->name == key.name && found->language == key.language))
    ++found;
  return true;
}

// Puts key in place of the resource `it` names, or adds it when there is none.
BOOL Store(ResourceUpdate& u, std::vector<PendingResource>::iterator it, PendingResource&& key) {
  try {
    if (it != u.resources.end())
      *it = std::move(key);
    else
      u.resources.push_back(std::move(key));
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  return TRUE;
}

}  // namespace

BOOL UpdateResourceA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD wLanguage, LPVOID lpData, DWORD cb) {
  ResourceUpdate* u = FromHandle(hUpdate);
  if (!u) return Fail(ERROR_INVALID_HANDLE);
  PendingResource key;
  std::vector<PendingResource>::iterator it;
  if (!Lookup(*u, lpType, lpName, wLanguage, key, it) || (!lpData && cb != 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpData) {
    if (it == u->resources.end()) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
    u->resources.erase(it);
    return TRUE;
  }
  try {
    auto copy = std::make_shared<const std::string>(static_cast<const char*>(lpData), cb);
    key.data = *copy;
    key.owner = std::move(copy);
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  return Store(*u, it, std::move(key));
}

BOOL UpdateResourceProducedA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD wLanguage, ResourceProducer producer) {
  ResourceUpdate* u = FromHandle(hUpdate);
  if (!u) return Fail(ERROR_INVALID_HANDLE);
  PendingResource key;
  std::vector<PendingResource>::iterator it;
  if (!Lookup(*u, lpType, lpName, wLanguage, key, it) || !producer) return Fail(ERROR_INVALID_PARAMETER);
  key.producer = std::move(producer);
  return Store(*u, it, std::move(key));
}

BOOL EndUpdateResourceA(HANDLE hUpdate, BOOL fDiscard) {
  const std::unique_ptr<ResourceUpdate> u = Release(hUpdate);
  if (!u) return Fail(ERROR_INVALID_HANDLE);
  if (fDiscard) return TRUE;
  try {
    const int err = Rewrite(*u);
    if (err) return FailErrno(err, u->unixPath);
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  } catch (const ProducerFailed&) {
    return Fail(ERROR_WRITE_FAULT);
  } catch (const std::exception&) {
    return Fail(ERROR_BAD_EXE_FORMAT);
  }
  return TRUE;
}
