// Checks the cursor pictures and writes them as Win32 cursor resources for make_resources.
// Usage: make_cursors OUTDIR LIST ART.txt...
// For each picture (identifier = file name without ".txt") it writes OUTDIR/<IDENT>.cur, the
// RT_CURSOR data with the id given by the picture's position (1, 2, ...), and
// OUTDIR/<IDENT>.grp, the RT_GROUP_CURSOR data named <IDENT> in upper case. LIST receives the
// matching make_resources arguments, one a line ("1:#1=OUTDIR/CRZOOMOUT.cur", ...).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include "CursorArt.h"
#include "platform/wholefile.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!f) throw std::runtime_error("cannot write " + path.string());
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_cursors OUTDIR LIST ART.txt...\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    if (argc - 3 > 0xFFFF) throw std::runtime_error("too many cursors");
    std::ostringstream list;
    std::set<std::string> seen;
    for (int i = 3; i < argc; ++i) {
      const std::filesystem::path file = argv[i];
      if (file.extension() != ".txt") throw std::runtime_error(file.string() + ": not a .txt picture");
      const std::string identifier = file.stem().string();
      const std::string name = Upper(identifier);
      if (!seen.insert(name).second) throw std::runtime_error(file.string() + ": cursor " + name + " given twice");
      const CursorArt art = ParseCursorArt(identifier, wholefile::Read(file.string()), file.string());
      const uint16_t id = static_cast<uint16_t>(i - 2);
      const std::string image = EncodeCursorImage(art);
      const std::filesystem::path cur = dir / (name + ".cur"), grp = dir / (name + ".grp");
      WriteFile(cur, image);
      WriteFile(grp, EncodeCursorGroup(art, id, static_cast<uint32_t>(image.size())));
      list << "1:#" << id << "=" << cur.string() << "\n12:" << name << "=" << grp.string() << "\n";
    }
    WriteFile(argv[2], list.str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_cursors: %s\n", e.what());
    return 1;
  }
  return 0;
}
