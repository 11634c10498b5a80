// Deterministic benchmark inputs: English-like text, incompressible bytes, a bitmap-like image
// with large flat areas, and a slice of a large shared library from the machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BenchInput {
  std::string name;
  std::vector<std::uint8_t> bytes;
  std::string source;  // where the bytes come from
};

// The four inputs, each n bytes long.
std::vector<BenchInput> MakeBenchInputs(std::size_t n);
