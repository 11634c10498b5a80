#include "text_cp1252.h"

#include <cstdint>
#include <cstdio>

#include "charset/Cp1252.h"
#include "cli_error.h"
#include "platform/hostpath.h"

std::string StrictCp1252(const std::string& text, const std::string& what) {
  const std::string utf8 = HostTextToUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    const int extra = lead < 0x80             ? 0
                      : (lead & 0xE0) == 0xC0 ? 1
                      : (lead & 0xF0) == 0xE0 ? 2
                      : (lead & 0xF8) == 0xF0 ? 3
                                              : -1;
    if (extra < 0) throw InputError(what + ": not valid UTF-8");
    std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= utf8.size()) throw InputError(what + ": not valid UTF-8");
      const auto c = static_cast<std::uint8_t>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) throw InputError(what + ": not valid UTF-8");
      cp = cp << 6 | (c & 0x3F);
    }
    static const std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      throw InputError(what + ": not valid UTF-8");
    const int byte = (cp >= 0x80 && cp <= 0x9F) ? -1 : UnicodeToCp1252(cp);
    if (byte < 0) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
      throw InputError(what + ": the character " + utf8.substr(i, extra + 1) + " (" + code +
                       ") has no place in the Windows-1252 code page");
    }
    out += static_cast<char>(byte);
    i += extra + 1;
  }
  return out;
}
