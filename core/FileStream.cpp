#include "FileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "charset/Cp1252.h"
#include "Exceptions.h"

namespace {
std::string SysError() { return std::strerror(errno); }

#ifdef _WIN32
// The C runtime of Windows takes narrow names in the ANSI code page (Windows-1252 on the
// systems the library targets), opens in text mode unless told otherwise and lets child
// processes inherit descriptors unless told otherwise.
const std::string& HostName(const std::string& fileName) { return fileName; }
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;
#define ftruncate _chsize_s
#else
std::string HostName(const std::string& fileName) { return Cp1252ToUtf8(fileName); }
constexpr int kOpenFlags = O_CLOEXEC;
#endif
}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  const std::string path = HostName(fileName);
  int flags = mode == TFileMode::fmOpenRead        ? O_RDONLY
              : mode == TFileMode::fmOpenReadWrite ? O_RDWR
                                                   : O_RDWR | O_CREAT | O_TRUNC;
  fd_ = ::open(path.c_str(), flags | kOpenFlags, 0644);
  if (fd_ < 0)
    throw EFOpenError("Cannot " + std::string(mode == TFileMode::fmCreate ? "create" : "open") + " file \"" +
                      Cp1252ToUtf8(fileName) + "\": " + SysError());
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("Cannot read file \"" + Cp1252ToUtf8(fileName_) + "\": " + SysError());
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EWriteError("Cannot write file \"" + Cp1252ToUtf8(fileName_) + "\": " + SysError());
    }
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, offset, whence);
  if (r < 0) throw EStreamError("Cannot seek in file \"" + Cp1252ToUtf8(fileName_) + "\": " + SysError());
  return r;
}

void TFileStream::SetSize(int64_t newSize) {
  if (::ftruncate(fd_, newSize) != 0)
    throw EStreamError("Cannot resize file \"" + Cp1252ToUtf8(fileName_) + "\": " + SysError());
}
