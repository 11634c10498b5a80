// The hex forms of SHA-256 digests, the same whichever crypto library computes them.
#include "sha256.h"

std::string Sha256::Hex(const void* data, size_t size) {
  Sha256 h;
  h.Update(data, size);
  return Hex(h.Final());
}

std::string Sha256::Hex(const Digest& digest) {
  static const char* hex = "0123456789abcdef";
  std::string s;
  for (uint8_t b : digest) {
    s += hex[b >> 4];
    s += hex[b & 15];
  }
  return s;
}
