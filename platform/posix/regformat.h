// Wine's registry file format ("WINE REGISTRY Version 2"), read and written.
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\Machine
//
//   [Software\\Classes\\.html] 1700000000
//   @="htmlfile"
//   "Content Type"="text/html"
//   "Flags"=dword:00000001
//   "Data"=hex:01,02,03
//   "Path"=str(2):"%SystemRoot%\\system32"
//
// Strings are Windows-1252 in memory; in the file every character outside
// printable ASCII is an escape (\n, \t, \xHHHH with the Unicode code point).
// hex(N) data of the string types (1, 2, 6, 7) holds UTF-16LE as Wine writes it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "regtree.h"

namespace winposix {

struct RegFormatError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses a whole file ("[]" names the root key itself); throws
// RegFormatError naming the line for anything that is not the format (a
// missing header, a value outside a key, a bad escape or hex list...).
std::unique_ptr<RegKey> ParseWineRegistry(const std::string& text);

// Writes the root's own values (as the key "[]") and every key below root with
// its values, sorted by name. relativeTo is the header comment's root ("\\Machine" or "\\User\\...").
std::string WriteWineRegistry(const RegKey& root, const std::string& relativeTo);

// Appends bytes as comma-separated hex pairs, breaking the line with a backslash before
// column 77 as regedit does; column is where the list starts on its line.
void WriteHex(std::string& out, size_t column, const std::string& bytes);

// The parts both registry text formats share: "dword:%08x" for the 4 bytes of a REG_DWORD,
// and the prefix of a value written as hex bytes ("hex:" for REG_BINARY, else "hex(type):").
std::string DwordText(const std::string& fourBytes);
std::string HexPrefix(DWORD type);

}  // namespace winposix
