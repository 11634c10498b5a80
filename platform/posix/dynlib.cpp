#include "dynlib.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {
std::string LastError() {
  const char* e = dlerror();
  return e ? e : "unknown error";
}
}  // namespace

TDynamicLibrary::TDynamicLibrary(const char* soname) : soname_(soname), handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
  if (!handle_) throw std::runtime_error("cannot load " + soname_ + ": " + LastError());
}

void* TDynamicLibrary::Address(const char* name) const {
  dlerror();
  void* p = dlsym(handle_, name);
  if (!p) throw std::runtime_error("cannot find " + std::string(name) + " in " + soname_ + ": " + LastError());
  return p;
}
