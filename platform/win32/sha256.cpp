// SHA-256 through the system's cryptography API (CNG, bcrypt.dll).
#include "sha256.h"

#include <stdexcept>

#include "winapi.h"
#include <bcrypt.h>

struct Sha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0 ||
      BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0) != 0) {
    if (state_->algorithm) BCryptCloseAlgorithmProvider(state_->algorithm, 0);
    throw std::runtime_error("SHA-256 is not available from the system's cryptography API");
  }
}

Sha256::~Sha256() {
  BCryptDestroyHash(state_->hash);
  BCryptCloseAlgorithmProvider(state_->algorithm, 0);
}

void Sha256::Update(const void* data, size_t size) {
  // BCryptHashData takes at most 4 GiB - 1 bytes a call.
  const auto* p = static_cast<const UCHAR*>(data);
  while (size > 0) {
    const ULONG part = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (BCryptHashData(state_->hash, const_cast<UCHAR*>(p), part, 0) != 0)
      throw std::runtime_error("SHA-256 update failed");
    p += part;
    size -= part;
  }
}

Sha256::Digest Sha256::Final() {
  Digest d{};
  if (BCryptFinishHash(state_->hash, d.data(), static_cast<ULONG>(d.size()), 0) != 0)
    throw std::runtime_error("SHA-256 final failed");
  return d;
}
