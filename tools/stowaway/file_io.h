// Whole-file reading and all-or-nothing writing for the tool's commands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Reads the whole file; throws InputError naming the file when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Writes the bytes to path through a temporary file in the same directory that is renamed
// into place only when everything was written, so the target is never left half-written.
// Throws InputError naming the file on failure.
void WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size);

// The same for content produced piece by piece: produce gets a sink that appends bytes to the
// temporary file, so output of any size never has to be held in memory.
using ByteSink = std::function<void(const std::uint8_t* data, std::size_t size)>;
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce);

inline void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data) {
  WriteFileAtomically(path, data.data(), data.size());
}
