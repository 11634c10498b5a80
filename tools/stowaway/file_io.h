// File access for the tool's commands: input files mapped read-only instead of read into
// memory, and all-or-nothing output through a temporary file renamed into place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Stream.h"
#include "platform/wholefile.h"

// A whole input file mapped read-only; the bytes stay valid while the object lives.
class MappedFile {
 public:
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  const std::string& path() const { return path_; }

  // Maps the file; throws InputError naming it when it cannot be opened or is a directory.
  static std::shared_ptr<const MappedFile> Open(const std::string& path);

 private:
  MappedFile() = default;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::string path_;
};

// Reads the whole file; throws InputError naming the file when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// An output file written under a temporary name beside its path and renamed into place by
// Commit only; destroyed uncommitted, it removes the temporary file, so the target is never
// left half-written. Errors throw InputError naming the target.
class AtomicFile {
 public:
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // A stream over the temporary file (writes, seeks, reads back).
  TStream& Stream() { return *stream_; }
  void Write(const std::uint8_t* data, std::size_t size);
  void Commit();

 private:
  wholefile::Replacement file_;
  std::unique_ptr<TStream> stream_;
};

// Writes the bytes to path through an AtomicFile.
void WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size);
