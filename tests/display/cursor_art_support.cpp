#include "cursor_art_support.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

CursorArt ReadCommittedArt(const std::string& identifier) {
  const std::string path = std::string(STOWAWAY_CURSOR_DIR) + "/" + identifier + ".txt";
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << f.rdbuf();
  return ParseCursorArt(identifier, s.str(), path);
}

std::vector<uint32_t> ExpectedArgb(const CursorArt& art) {
  std::vector<uint32_t> argb(32 * 32, 0);
  auto at = [&](int x, int y) { return (x < 0 || y < 0 || x > 31 || y > 31) ? '.' : art.Rows[y][x]; };
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const char c = art.Rows[y][x];
      uint32_t& p = argb[y * 32 + x];
      if (c == '~')
        p = 0xFF000000u;
      else if (c == '.')
        p = (at(x - 1, y) == '~' || at(x + 1, y) == '~' || at(x, y - 1) == '~' || at(x, y + 1) == '~') ? 0xFFFFFFFFu
                                                                                                       : 0;
      else
        p = 0xFF000000u | CursorPalette()[c <= '9' ? c - '0' : c - 'A' + 10];
    }
  return argb;
}
