// Loads the stored files of a SOURCE given to the tool: a raw container (packed or plain), a
// binary or text form holding TacFileStorage components, or an installer executable. The
// source file is mapped, and each stored file refers to its content where it lies: nothing is
// unpacked until a command reads a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TacFileStorage;
class TStoredFile;
class MappedFile;

struct SourceFile {
  std::string storage;  // the component that holds the file ("" for a raw container)
  TStoredFile* file;    // name, size and content
};

struct StoredSource {
  std::shared_ptr<const MappedFile> input;
  std::vector<std::unique_ptr<TacFileStorage>> storages;
  std::vector<SourceFile> files;

  StoredSource();
  StoredSource(StoredSource&&) noexcept;
  ~StoredSource();
};

// checkContent: unpack every content once (through a block-sized buffer) to check it before
// anything is used; without it only the container's lengths are checked. Throws InputError
// naming the file, the fault and its offset.
StoredSource LoadStoredFiles(const std::string& path, bool checkContent);
