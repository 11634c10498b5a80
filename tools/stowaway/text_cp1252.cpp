#include "text_cp1252.h"

#include <cstdint>
#include <cstdio>

#include "charset/Cp1252.h"
#include "charset/Unicode.h"
#include "cli_error.h"
#include "platform/hostpath.h"

std::string StrictCp1252(const std::string& text, const std::string& what) {
  const std::string utf8 = HostTextToUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = 0;
    std::size_t length = 1;
    if (!DecodeUtf8(utf8, i, cp, length)) throw InputError(what + ": not valid UTF-8");
    const int byte = (cp >= 0x80 && cp <= 0x9F) ? -1 : UnicodeToCp1252(cp);
    if (byte < 0) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
      throw InputError(what + ": the character " + utf8.substr(i, length) + " (" + code +
                       ") has no place in the Windows-1252 code page");
    }
    out += static_cast<char>(byte);
    i += length;
  }
  return out;
}
