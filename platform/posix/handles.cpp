#include "handles.h"

#include <cstring>
#include <map>
#include <mutex>
#include <unistd.h>

namespace winposix {
namespace {

std::mutex& TableMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<HANDLE, std::shared_ptr<HandleObject>>& Table() {
  static std::map<HANDLE, std::shared_ptr<HandleObject>> table;
  return table;
}

std::shared_ptr<HandleObject> Lookup(HANDLE handle) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(handle);
  return it == Table().end() ? nullptr : it->second;
}

}  // namespace

FileObject::~FileObject() {
  if (fd >= 0) close(fd);
  if (!deleteOnClose.empty()) unlink(deleteOnClose.c_str());
}

HANDLE RegisterHandle(std::shared_ptr<HandleObject> object) {
  HANDLE handle = object.get();
  std::lock_guard<std::mutex> lock(TableMutex());
  Table()[handle] = std::move(object);
  return handle;
}

std::shared_ptr<FileObject> LookupFile(HANDLE handle) { return std::dynamic_pointer_cast<FileObject>(Lookup(handle)); }

std::shared_ptr<FindObject> LookupFind(HANDLE handle) { return std::dynamic_pointer_cast<FindObject>(Lookup(handle)); }

bool ReleaseHandle(HANDLE handle) {
  std::shared_ptr<HandleObject> object;
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    auto it = Table().find(handle);
    if (it == Table().end()) return false;
    object = std::move(it->second);
    Table().erase(it);
  }
  return true;  // object destroyed here, outside the lock
}

std::vector<std::shared_ptr<FileObject>> OpenFilesOn(dev_t dev, ino_t ino) {
  std::vector<std::shared_ptr<FileObject>> result;
  std::lock_guard<std::mutex> lock(TableMutex());
  for (auto& [handle, object] : Table())
    if (auto file = std::dynamic_pointer_cast<FileObject>(object))
      if (file->dev == dev && file->ino == ino) result.push_back(file);
  return result;
}

DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(text.size());
  if (!buffer || size <= length) return length + 1;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace winposix

BOOL CloseHandle(HANDLE hObject) {
  // The pseudo handles of the current process and thread need no closing.
  if (hObject == reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)) ||
      hObject == reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)))
    return TRUE;
  if (!winposix::ReleaseHandle(hObject)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
