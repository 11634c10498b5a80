// The "SFP1" container of files given by path, written to a stream as the storage writes it:
// the magic, the count, then each file's record, packed block by block from its mapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Stream.h"
#include "file_io.h"

struct ContainerInput {
  std::string name;  // Windows-1252, as stored
  std::shared_ptr<const MappedFile> map;
  // When set, receives the content in order while it is packed (possibly on another thread).
  std::function<void(const std::uint8_t*, std::size_t)> observe;
};

// Writes the container of `inputs` to `out` at its position; each input's mapping is let go once
// it is packed (unmapped, unless the caller holds it too), then `packed(i)` is called. Returns
// the container's size in bytes (the caller judges whether it fits a form).
std::uint64_t WriteContainer(TStream& out, std::vector<ContainerInput> inputs,
                             const std::function<void(std::size_t)>& packed = {});
