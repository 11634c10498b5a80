#include "wholefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "descriptorio.h"

namespace wholefile {

namespace {

[[noreturn]] void Throw(int err, const std::string& path, const char* action)
{
    throw std::system_error(err, std::generic_category(), path + ": cannot " + action);
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t ModeFor(const std::string& path, Mode mode)
{
    struct stat st {};
    switch (mode) {
    case Mode::Private:
        return 0600;
    case Mode::Kept:
        if (::stat(path.c_str(), &st) == 0)
            return st.st_mode & 07777;
        return NewFileMode();
    case Mode::New:
        break;
    }
    return NewFileMode();
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string Read(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Throw(errno, path, "read");
    std::string content;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    if (!err) {
        // Files under /proc report no size; their content is read all the same.
        if (S_ISREG(st.st_mode) && st.st_size > 0)
            content.reserve(static_cast<size_t>(st.st_size));
        err = winposix::DescriptorReadAll(fd, content);
    }
    ::close(fd);
    if (err)
        Throw(err, path, "read");
    return content;
}

Replacement::Replacement(std::string path, Durability durability, Mode mode)
    : path_(std::move(path)), temp_(path_ + ".tmp.XXXXXX"), durability_(durability), mode_(mode)
{
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0)
        Throw(errno, path_, "create a temporary file beside");
}

Replacement::~Replacement()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!placed_)
        ::unlink(temp_.c_str());
}

void Replacement::Write(const void* data, size_t size)
{
    if (const int err = winposix::DescriptorWriteAll(fd_, data, size))
        Throw(err, path_, "write");
}

size_t Replacement::Read(void* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Throw(errno, path_, "read back");
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

int64_t Replacement::Seek(int64_t offset, Origin origin)
{
    const int whence = origin == Origin::Beginning ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(fd_, offset, whence);
    if (at < 0)
        Throw(errno, path_, "seek in");
    return at;
}

void Replacement::Commit()
{
    if (::fchmod(fd_, ModeFor(path_, mode_)) != 0)
        Throw(errno, path_, "set the permissions of");
    if (durability_ != Durability::None && ::fsync(fd_) != 0)
        Throw(errno, path_, "sync");
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        Throw(errno, path_, "write");
    if (::rename(temp_.c_str(), path_.c_str()) != 0)
        Throw(errno, path_, "replace");
    placed_ = true;
    if (durability_ == Durability::FileAndDirectory) {
        // The rename is made durable through the directory. The new content is in place by
        // now, so a directory that cannot be synced is not reported as a failed replacement.
        const int dir = ::open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
}

void Replace(const std::string& path, const void* data, size_t size, Durability durability, Mode mode)
{
    Replacement file(path, durability, mode);
    file.Write(data, size);
    file.Commit();
}

} // namespace wholefile
