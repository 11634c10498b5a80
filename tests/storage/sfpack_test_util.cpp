#include "sfpack_test_util.h"

#include "storage/acSFPack.h"

#include <stdexcept>

Bytes Hex(const std::string& text) {
  Bytes out;
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == '|') continue;
    digits += c;
    if (digits.size() == 2) {
      out.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
      digits.clear();
    }
  }
  if (!digits.empty()) throw std::invalid_argument("odd number of hex digits: " + text);
  return out;
}

Bytes Pack(const Bytes& input) {
  Bytes out(PackedSizeBound(input.size()));
  out.resize(PackStream(input.data(), input.size(), out.data()));
  return out;
}

Bytes Unpack(const Bytes& stream) {
  Bytes out(PackedStreamLength(stream.data(), stream.size()));
  UnpackStream(stream.data(), stream.size(), out.data(), out.size());
  return out;
}

Bytes RandomBytes(std::size_t n, std::uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

Bytes AllValues() {
  Bytes out(256);
  for (int v = 0; v < 256; ++v) out[v] = static_cast<std::uint8_t>(v);
  return out;
}

std::vector<Bytes> SplitBlocks(const Bytes& stream) {
  std::vector<Bytes> blocks;
  for (std::size_t pos = 4; pos + 2 <= stream.size();) {
    const std::size_t p = stream[pos] | (stream[pos + 1] << 8);
    if (pos + 2 + p > stream.size()) throw std::out_of_range("block runs past the stream");
    blocks.emplace_back(stream.begin() + pos + 2, stream.begin() + pos + 2 + p);
    pos += 2 + p;
  }
  return blocks;
}
