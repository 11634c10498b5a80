// Kernel object handles: open files and searches, looked up by HANDLE value.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "../winapi.h"

namespace winposix {

struct HandleObject {
  virtual ~HandleObject() = default;
};

struct FileObject : HandleObject {
  int fd = -1;
  DWORD access = 0;  // GENERIC_READ / GENERIC_WRITE bits, 0 for a size query
  DWORD share = 0;
  dev_t dev = 0;
  ino_t ino = 0;
  std::string deleteOnClose;  // Unix path to remove when the handle closes
  ~FileObject() override;
};

struct FindObject : HandleObject {
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

// Registers an object and returns its handle.
HANDLE RegisterHandle(std::shared_ptr<HandleObject> object);

// The object behind a handle when it is of the wanted kind, else null.
std::shared_ptr<FileObject> LookupFile(HANDLE handle);
std::shared_ptr<FindObject> LookupFind(HANDLE handle);

// Removes a handle; false when it was not registered. The object is destroyed
// when the last user lets go of it.
bool ReleaseHandle(HANDLE handle);

// The open files of this process on one file (device and inode).
std::vector<std::shared_ptr<FileObject>> OpenFilesOn(dev_t dev, ino_t ino);

// Copies text into a caller's buffer with Win32's conventions: when it fits
// (size > length) the text and a terminating zero are stored and the length
// is returned; otherwise nothing is stored and the size needed, terminator
// included, is returned.
DWORD CopyOut(const std::string& text, char* buffer, DWORD size);

}  // namespace winposix
