// A tiny Windows program (PE32+, x86-64) made by the mingw-w64 cross compiler for tests of
// PE resources: it prints its RT_RCDATA resource GREETING and the size of NEW (when present).
// Its resources: GREETING and OTHER (RT_RCDATA), a version resource, an application manifest
// and one resource of the named type CUSTOMTYPE.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace tinype {

inline bool HaveCrossCompiler() {
  return std::system(
             "command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 && "
             "command -v x86_64-w64-mingw32-windres >/dev/null 2>&1") == 0;
}

// Builds dir/tiny.exe; returns its path, or "" when the compiler failed.
inline std::string Build(const std::string& dir) {
  std::ofstream(dir + "/tiny.cpp") << R"(#include <windows.h>
#include <cstdio>
int main() {
  HRSRC g = FindResourceA(nullptr, "GREETING", MAKEINTRESOURCEA(10));
  if (!g) return 3;
  std::printf("%.*s\n", int(SizeofResource(nullptr, g)), static_cast<const char*>(LockResource(LoadResource(nullptr, g))));
  if (HRSRC n = FindResourceA(nullptr, "NEW", MAKEINTRESOURCEA(10))) std::printf("NEW %lu\n", SizeofResource(nullptr, n));
  return 0;
}
)";
  std::ofstream(dir + "/greeting.bin", std::ios::binary) << "hello from the stub";
  std::ofstream(dir + "/other.bin", std::ios::binary) << "other";
  std::ofstream(dir + "/app.manifest") << "<?xml version=\"1.0\"?><assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                                          "manifestVersion=\"1.0\"></assembly>\n";
  std::ofstream(dir + "/tiny.rc") << "GREETING RCDATA \"greeting.bin\"\nOTHER RCDATA \"other.bin\"\n"
                                     "MYDATA CUSTOMTYPE \"other.bin\"\n1 24 \"app.manifest\"\n"
                                     "1 VERSIONINFO\nFILEVERSION 1,2,3,4\nBEGIN\nEND\n";
  const std::string cmd = "cd '" + dir +
                          "' && x86_64-w64-mingw32-windres tiny.rc -O coff -o tiny.res && "
                          "x86_64-w64-mingw32-g++ -O1 -static -o tiny.exe tiny.cpp tiny.res >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0 ? dir + "/tiny.exe" : std::string();
}

}  // namespace tinype
