// SHA-256 digests, from the platform's crypto library (OpenSSL's libcrypto on Linux, the
// system's CNG on Windows).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class Sha256 {
 public:
  using Digest = std::array<uint8_t, 32>;

  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, size_t size);
  // The digest of everything given so far; the object is used up.
  Digest Final();

  // The digest of one buffer as 64 lower-case hex digits.
  static std::string Hex(const void* data, size_t size);
  static std::string Hex(const Digest& digest);

 private:
  struct State;
  std::unique_ptr<State> state_;
};
