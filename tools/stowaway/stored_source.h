// Loads the stored files of a SOURCE given to the tool: a raw container (packed or plain), or
// a binary or text form holding TacFileStorage components.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SourceFile {
  std::string storage;     // the component that holds the file ("" for a raw container)
  std::string name;        // the stored name, Windows-1252
  std::string content;
  std::uint64_t packedSize;  // bytes of its content field in the container
};

// Throws InputError naming the file, the fault and its offset.
std::vector<SourceFile> LoadStoredFiles(const std::string& path);

// The files of one container's bytes; `where` names it in errors ("FILE" or "FILE, StoredData
// of acFileStorage1 at offset N").
std::vector<SourceFile> ReadContainer(const std::vector<std::uint8_t>& bytes, const std::string& where,
                                      const std::string& storage);

// True when the bytes look like a text form: "object", "inherited" or "inline" first.
bool LooksLikeTextForm(const std::vector<std::uint8_t>& bytes);
