#include "printable_name.h"

#include <cstdio>

std::string PrintableName(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  char buffer[8];
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
      out += buffer;
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(utf8[i + 1]));
      out += buffer;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
