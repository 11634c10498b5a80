// A plain, byte-at-a-time packer for packed streams, written for clarity rather than speed.
// Tests and the differential fuzz target compare the fast packer's bytes with its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The packed stream of n bytes at source: 32-bit unpacked length, then the framed blocks.
std::vector<std::uint8_t> ReferencePackStream(const std::uint8_t* source, std::size_t n);

// The packed block (header word and body) of n bytes, 1 to 65533.
std::vector<std::uint8_t> ReferencePackBlock(const std::uint8_t* input, std::size_t n);
