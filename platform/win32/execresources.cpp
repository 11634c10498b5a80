// Reading the RT_RCDATA resources of a PE executable file: the file is mapped as a data file
// (nothing of it runs, no DLL it names is loaded) and its resources are enumerated as views
// into that mapping.
#include "execresources.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "winapi.h"

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw std::runtime_error(path + ": " + what);
}

struct Collected {
  HMODULE module;
  std::shared_ptr<const void> keeper;  // frees the module when the last entry goes
  std::vector<ExecutableResource>* out;
};

std::string UpperName(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  std::string s = name;
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  auto* collected = reinterpret_cast<Collected*>(param);
  HRSRC info = FindResourceA(module, name, type);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return TRUE;
  ExecutableResource r;
  r.type = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(type));
  r.name = UpperName(name);
  r.data = std::string_view(static_cast<const char*>(data), SizeofResource(module, info));
  r.file = collected->keeper;
  collected->out->push_back(std::move(r));
  return TRUE;
}

}  // namespace

bool IsExecutableFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[2] = {};
  return in.read(head, 2) && head[0] == 'M' && head[1] == 'Z';
}

std::vector<ExecutableResource> ReadExecutableResources(const std::string& path) {
  if (!IsExecutableFile(path)) Fail(path, "not a Windows executable");
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) Fail(path, "cannot be read as an executable (error " + std::to_string(GetLastError()) + ")");
  // The module stays loaded as a data file while any entry views its bytes.
  std::shared_ptr<const void> keeper(module,
                                     [](const void* m) { FreeLibrary(static_cast<HMODULE>(const_cast<void*>(m))); });
  std::vector<ExecutableResource> resources;
  Collected collected{module, keeper, &resources};
  EnumResourceNamesA(module, MAKEINTRESOURCEA(10), &OnName, reinterpret_cast<LONG_PTR>(&collected));
  return resources;
}
