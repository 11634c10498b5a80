#include "sha256.h"

#include <openssl/evp.h>
#include <stdexcept>

struct Sha256::State {
  EVP_MD_CTX* ctx = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->ctx = EVP_MD_CTX_new();
  if (!state_->ctx || EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(state_->ctx);
    throw std::runtime_error("SHA-256 is not available from the crypto library");
  }
}

Sha256::~Sha256() { EVP_MD_CTX_free(state_->ctx); }

void Sha256::Update(const void* data, size_t size) {
  if (size && EVP_DigestUpdate(state_->ctx, data, size) != 1) throw std::runtime_error("SHA-256 update failed");
}

Sha256::Digest Sha256::Final() {
  Digest d{};
  unsigned int n = 0;
  if (EVP_DigestFinal_ex(state_->ctx, d.data(), &n) != 1 || n != d.size())
    throw std::runtime_error("SHA-256 final failed");
  return d;
}
