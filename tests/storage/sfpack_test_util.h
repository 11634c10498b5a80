// Small helpers shared by the codec tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Bytes from hexadecimal pairs; spaces and '|' are ignored ("01 00 | 03 00").
Bytes Hex(const std::string& text);

// Packs with PackStream into a buffer of exactly PackedSizeBound(n) bytes.
Bytes Pack(const Bytes& input);

// Unpacks a whole packed stream into a buffer of its announced length.
Bytes Unpack(const Bytes& stream);

// n bytes from a fixed-seed generator; every value occurs for n of a few KiB or more.
Bytes RandomBytes(std::size_t n, std::uint32_t seed);

// The 256 byte values in ascending order, which forces run-table mode on a block.
Bytes AllValues();

// The framed blocks of a packed stream: each block's packed bytes (header word and body).
std::vector<Bytes> SplitBlocks(const Bytes& stream);
