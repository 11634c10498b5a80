// Whole files: read in one go, and replaced in one go.
//
// A replacement is written under a temporary name beside its target (so both lie on one file
// system) and renamed over the target by Commit: a reader sees the old file or the whole new
// one, never a part of it, and a replacement given up before Commit leaves the target as it
// was. How much of that survives a crash of the system is the caller's explicit choice.
//
// Paths are the host's own (UTF-8 on Linux). Failures throw std::system_error whose text
// names the file and the action ("PATH: cannot write: No space left on device").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wholefile {

// What a committed replacement survives besides the end of the process.
enum class Durability {
  // Nothing more: after a system crash the target may hold the old content, the new one, or
  // (with some file systems) none.
  None,
  // The content is on the disk before it takes the target's name: after a system crash the
  // target holds the old content or the whole new one.
  File,
  // As File, and the new name is on the disk too when Commit returns.
  FileAndDirectory,
};

// The permissions a replacement is given.
enum class Mode {
  New,      // those of a newly created file: 0666 less the umask
  Kept,     // the target's own; those of a new file when there is no target yet
  Private,  // the owner's only (0600)
};

enum class Origin { Beginning, Current, End };

// The whole content of the file at path.
std::string Read(const std::string& path);

class Replacement {
 public:
  // Creates the temporary file beside path.
  Replacement(std::string path, Durability durability, Mode mode = Mode::New);
  // Uncommitted, removes the temporary file; the target is untouched.
  ~Replacement();
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  const std::string& Path() const { return path_; }

  // Writes all of data at the current position.
  void Write(const void* data, size_t size);
  // Reads back from the current position; fewer bytes than asked only at the end.
  size_t Read(void* buffer, size_t size);
  // Moves the current position; returns it, counted from the beginning.
  int64_t Seek(int64_t offset, Origin origin);
  // The temporary file's descriptor, for writers inside the platform that place bytes
  // themselves (positioned writes); it stays the replacement's.
  int Descriptor() const { return fd_; }

  // Gives the file its mode, syncs it as the durability says and renames it over the target.
  // On a failure the temporary file is removed and the target keeps its old content.
  void Commit();

 private:
  std::string path_;
  std::string temp_;
  Durability durability_;
  Mode mode_;
  int fd_ = -1;
  bool placed_ = false;
};

// Replaces the file at path with the bytes, through a Replacement.
void Replace(const std::string& path, const void* data, size_t size, Durability durability, Mode mode = Mode::New);

}  // namespace wholefile
