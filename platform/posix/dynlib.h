#pragma once
// A shared library opened when first needed rather than linked: the tool's commands that never
// digest, decode a picture or ask the screen do not pay for loading those libraries (and the
// libraries they bring) at every start. A library, once opened, stays for the process's life.
#include <string>

class TDynamicLibrary {
 public:
  // Opens the library by its versioned name (libcrypto.so.3); throws std::runtime_error naming
  // it and why when it cannot be opened.
  explicit TDynamicLibrary(const char* soname);
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  // The function of that name (from the library or one it depends on), as a pointer of the
  // type of the declaration it is bound to: `F f = lib.Function<F>("name")`.
  template <class F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(Address(name));
  }

 private:
  void* Address(const char* name) const;
  std::string soname_;
  void* handle_;
};

// Declares, in a struct holding a TDynamicLibrary named lib, a member of the function's own name
// and type bound to the library's function of that name: STOWAWAY_DYNAMIC_FUNCTION(EVP_sha256).
#define STOWAWAY_DYNAMIC_FUNCTION(name) decltype(&::name) name = lib.Function<decltype(&::name)>(#name);
