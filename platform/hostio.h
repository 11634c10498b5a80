// The few file operations of the host's C runtime that differ between Linux and Windows, for
// programs that work on host paths (the command-line tool): open flags, directory creation,
// replacing a file by another (with or without its data written out first), the mode of a new
// file, mapping a file read-only (registered so that its bytes can be read through the file,
// mappedread.h), and the path separators.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "mappedread.h"

#ifdef _WIN32
#include <io.h>

#include "winapi.h"
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace hostio {

#ifdef _WIN32
// Binary mode, and not inherited by started programs.
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;
constexpr int kOpenNoWait = 0;
constexpr const char* kSeparators = "/\\";
inline int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str()); }
// Replaces to by from in one step (rename() refuses an existing target on Windows).
inline bool ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
inline bool ReplaceFileUnsynced(const std::string& from, const std::string& to) { return ReplaceFile(from, to); }
// A created file gets the permissions of its directory; nothing to adjust.
inline void GiveNewFileMode(int) {}
// Not inherited by started programs: the open flags already say so.
inline void KeepFromChildren(int) {}
// Maps size bytes of the open file read-only; null when it cannot. The mapping outlives the
// descriptor and is released by Unmap.
inline const void* MapReadOnly(int fd, std::size_t size) {
  HANDLE mapping =
      CreateFileMappingA(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) return nullptr;
  const void* at = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
  CloseHandle(mapping);
  return at;
}
inline void Unmap(const void* at, std::size_t) { UnmapViewOfFile(at); }
#else
constexpr int kOpenFlags = O_CLOEXEC;
// Opening a FIFO for reading waits for a writer; with this flag it returns at once, so that a
// caller that wants a regular file can refuse it (on a regular file the flag changes nothing).
constexpr int kOpenNoWait = O_NONBLOCK;
constexpr const char* kSeparators = "/";
inline int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777); }
inline bool ReplaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
// The same, for a new file whose data need not reach the disk first. A rename over an existing
// file makes ext4 write the new file's data out before it returns (tens of milliseconds for
// 100 MB); swapping the two names and removing the old file does not. Where the swap is not
// supported (other file systems), or where no file stands at `to`, a plain rename, which also
// refuses to put a file in a directory's place.
inline bool ReplaceFileUnsynced(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
    if (::unlink(from.c_str()) == 0) return true;  // the old file, now under the temporary name
    // Something else than a file took its place meanwhile: swapped back, left to rename.
    ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
  }
  return ReplaceFile(from, to);
}
// mkstemp creates the file with mode 0600; gives it the usual mode for new files.
inline void GiveNewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
}
inline void KeepFromChildren(int fd) { ::fcntl(fd, F_SETFD, FD_CLOEXEC); }
inline const void* MapReadOnly(int fd, std::size_t size) {
  void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (at == MAP_FAILED) return nullptr;
  ::madvise(at, size, MADV_SEQUENTIAL);
  RegisterFileMapping(at, size, fd);
  return at;
}
inline void Unmap(const void* at, std::size_t size) {
  ForgetFileMapping(at);
  ::munmap(const_cast<void*>(at), size);
}
#endif

}  // namespace hostio
