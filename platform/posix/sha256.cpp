#include "sha256.h"

#include <openssl/evp.h>
#include <stdexcept>

#include "dynlib.h"

#if OPENSSL_VERSION_MAJOR != 3
#error "the crypto library is opened as libcrypto.so.3"
#endif

namespace {

// OpenSSL's digest calls, from libcrypto opened on first use.
struct Crypto {
  TDynamicLibrary lib{"libcrypto.so.3"};
  STOWAWAY_DYNAMIC_FUNCTION(EVP_MD_CTX_new)
  STOWAWAY_DYNAMIC_FUNCTION(EVP_MD_CTX_free)
  STOWAWAY_DYNAMIC_FUNCTION(EVP_sha256)
  STOWAWAY_DYNAMIC_FUNCTION(EVP_DigestInit_ex)
  STOWAWAY_DYNAMIC_FUNCTION(EVP_DigestUpdate)
  STOWAWAY_DYNAMIC_FUNCTION(EVP_DigestFinal_ex)
};

const Crypto& Api() {
  static const Crypto api;
  return api;
}

}  // namespace

struct Sha256::State {
  EVP_MD_CTX* ctx = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  const Crypto& api = Api();
  state_->ctx = api.EVP_MD_CTX_new();
  if (!state_->ctx || api.EVP_DigestInit_ex(state_->ctx, api.EVP_sha256(), nullptr) != 1) {
    api.EVP_MD_CTX_free(state_->ctx);
    throw std::runtime_error("SHA-256 is not available from the crypto library");
  }
}

Sha256::~Sha256() { Api().EVP_MD_CTX_free(state_->ctx); }

void Sha256::Update(const void* data, size_t size) {
  if (size && Api().EVP_DigestUpdate(state_->ctx, data, size) != 1) throw std::runtime_error("SHA-256 update failed");
}

Sha256::Digest Sha256::Final() {
  Digest d{};
  unsigned int n = 0;
  if (Api().EVP_DigestFinal_ex(state_->ctx, d.data(), &n) != 1 || n != d.size())
    throw std::runtime_error("SHA-256 final failed");
  return d;
}
