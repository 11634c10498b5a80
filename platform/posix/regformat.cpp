#include "regformat.h"

#include <cstdio>
#include <cstring>

#include "codepage.h"

namespace winposix {
namespace {

[[noreturn]] void Bad(size_t line, const std::string& what) {
  throw RegFormatError("line " + std::to_string(line) + ": " + what);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendCodePoint(std::string& out, unsigned cp) {
  unsigned char c;
  out += CodePointToCp1252(cp, c) ? static_cast<char>(c) : '?';
}

// Reads a raw UTF-8 sequence at text[pos] (a hand-edited file); a byte that
// starts no valid sequence is taken as Windows-1252.
unsigned RawCharacter(const std::string& text, size_t& pos) {
  unsigned char c = static_cast<unsigned char>(text[pos]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
  if (n > 1 && pos + n <= text.size()) {
    unsigned cp = c & (0xFF >> (n + 1));
    bool ok = true;
    for (size_t i = 1; i < n && ok; ++i) {
      unsigned char d = static_cast<unsigned char>(text[pos + i]);
      ok = (d & 0xC0) == 0x80;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (ok) {
      pos += n;
      return cp;
    }
  }
  ++pos;
  return Cp1252ToCodePoint(c);
}

// Parses escaped text up to the unescaped terminator; pos ends after it.
std::string ParseEscaped(const std::string& text, size_t& pos, size_t line, char terminator) {
  std::string out;
  while (true) {
    if (pos >= text.size()) Bad(line, terminator == ']' ? "unterminated key name" : "unterminated string");
    char c = text[pos];
    if (c == terminator) {
      ++pos;
      return out;
    }
    if (c != '\\') {
      AppendCodePoint(out, RawCharacter(text, pos));
      continue;
    }
    if (++pos >= text.size()) Bad(line, "unterminated escape");
    c = text[pos++];
    switch (c) {
      case 'a':
        out += '\a';
        break;
      case 'b':
        out += '\b';
        break;
      case 'e':
        out += '\x1b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'v':
        out += '\v';
        break;
      case 'x': {
        unsigned cp = 0;
        int digits = 0;
        while (digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0) {
          cp = cp * 16 + static_cast<unsigned>(HexDigit(text[pos++]));
          ++digits;
        }
        if (digits == 0) Bad(line, "\\x without hex digits");
        AppendCodePoint(out, cp);
        break;
      }
      default:
        if (c >= '0' && c <= '7') {
          unsigned cp = static_cast<unsigned>(c - '0');
          for (int i = 0; i < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++i)
            cp = cp * 8 + static_cast<unsigned>(text[pos++] - '0');
          AppendCodePoint(out, cp);
        } else {
          out += c;  // \\, \", \[, \] and any other character stand for themselves
        }
    }
  }
}

// Parses a quoted, escaped string starting at text[pos] == '"'.
std::string ParseQuoted(const std::string& text, size_t& pos, size_t line) {
  if (pos >= text.size() || text[pos] != '"') Bad(line, "expected a quoted string");
  ++pos;
  return ParseEscaped(text, pos, line, '"');
}

std::string ParseHexList(const std::string& text, size_t pos, size_t line) {
  std::string out;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos >= text.size()) break;
    int hi = HexDigit(text[pos]);
    int lo = pos + 1 < text.size() ? HexDigit(text[pos + 1]) : -1;
    if (hi < 0 || lo < 0) Bad(line, "bad hex byte");
    out += static_cast<char>(hi * 16 + lo);
    pos += 2;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos < text.size()) {
      if (text[pos] != ',') Bad(line, "expected ',' in hex list");
      ++pos;
    }
  }
  return out;
}

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_LINK || type == REG_MULTI_SZ;
}

std::string Utf16ToCp1252(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned unit =
        static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    AppendCodePoint(out, unit);
  }
  return out;
}

std::string Cp1252ToUtf16(const std::string& text) {
  std::string out;
  for (char c : text) {
    unsigned cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    out += static_cast<char>(cp & 0xFF);
    out += static_cast<char>(cp >> 8);
  }
  return out;
}

// Reads the value type of a "str(N):" or "hex(N):" prefix (up to 8 hex digits) from pos, just
// after the '(', and moves pos past the "):".
unsigned ParseTypeNumber(const std::string& text, size_t& pos, size_t line, const char* prefix) {
  unsigned type = 0;
  int digits = 0;
  while (pos < text.size() && HexDigit(text[pos]) >= 0 && digits < 8) {
    type = type * 16 + static_cast<unsigned>(HexDigit(text[pos++]));
    ++digits;
  }
  if (digits == 0 || text.compare(pos, 2, "):") != 0) Bad(line, std::string("bad ") + prefix + "(N): prefix");
  pos += 2;
  return type;
}

// Parses the data after '=' into type and bytes.
void ParseData(const std::string& text, size_t pos, size_t line, RegValue& value) {
  auto startsWith = [&](const char* prefix) { return text.compare(pos, std::strlen(prefix), prefix) == 0; };
  if (startsWith("\"")) {
    value.type = REG_SZ;
    value.data = ParseQuoted(text, pos, line) + '\0';
  } else if (startsWith("str(")) {
    pos += 4;
    value.type = ParseTypeNumber(text, pos, line, "str");
    value.data = ParseQuoted(text, pos, line) + '\0';
  } else if (startsWith("dword:")) {
    pos += 6;
    uint32_t number = 0;
    int digits = 0;
    while (pos < text.size() && HexDigit(text[pos]) >= 0) {
      if (++digits > 8) Bad(line, "dword value too long");
      number = number * 16 + static_cast<uint32_t>(HexDigit(text[pos++]));
    }
    if (digits == 0) Bad(line, "dword without digits");
    value.type = REG_DWORD;
    value.data.assign(reinterpret_cast<const char*>(&number), 4);
  } else if (startsWith("hex:")) {
    value.type = REG_BINARY;
    value.data = ParseHexList(text, pos + 4, line);
    return;
  } else if (startsWith("hex(")) {
    pos += 4;
    const unsigned type = ParseTypeNumber(text, pos, line, "hex");
    value.type = type;
    value.data = ParseHexList(text, pos, line);
    if (IsStringType(type)) value.data = Utf16ToCp1252(value.data);
    return;
  } else {
    Bad(line, "unknown value data");
  }
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos < text.size()) Bad(line, "text after the value");
}

std::string Escape(const std::string& text, const char* alsoEscaped) {
  std::string out;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '"' || std::strchr(alsoEscaped, ch)) {
      out += '\\';
      out += ch;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%04x", Cp1252ToCodePoint(c));
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

void WriteValue(std::string& out, const RegValue& value) {
  std::string head = value.name.empty() ? "@=" : "\"" + Escape(value.name, "") + "\"=";
  out += head;
  const std::string& d = value.data;
  const bool oneTerminator = !d.empty() && d.back() == '\0' && d.find('\0') == d.size() - 1;
  if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && oneTerminator) {
    if (value.type == REG_EXPAND_SZ) out += "str(2):";
    out += "\"" + Escape(d.substr(0, d.size() - 1), "") + "\"";
  } else if (value.type == REG_MULTI_SZ && !d.empty() && d.back() == '\0') {
    out += "str(7):\"" + Escape(d.substr(0, d.size() - 1), "") + "\"";
  } else if (value.type == REG_DWORD && d.size() == 4) {
    out += DwordText(d);
  } else {
    const std::string prefix = HexPrefix(value.type);
    out += prefix;
    WriteHex(out, head.size() + prefix.size(), IsStringType(value.type) ? Cp1252ToUtf16(d) : d);
  }
  out += '\n';
}

void WriteKey(std::string& out, const RegKey& key, const std::string& path) {
  for (const auto& [folded, child] : key.subkeys) {
    std::string childPath = path.empty() ? Escape(child->name, "[]") : path + "\\\\" + Escape(child->name, "[]");
    out += "\n[" + childPath + "] " + std::to_string(child->modified) + "\n";
    for (const RegValue& value : child->values) WriteValue(out, value);
    WriteKey(out, *child, childPath);
  }
}

}  // namespace

std::unique_ptr<RegKey> ParseWineRegistry(const std::string& text) {
  auto root = std::make_unique<RegKey>();
  RegKey* current = nullptr;
  size_t pos = 0, lineNumber = 0;
  bool header = false;
  while (pos < text.size()) {
    // One logical line: physical lines joined where a hex list ends in '\'.
    std::string line;
    size_t first = lineNumber + 1;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string part = text.substr(pos, end - pos);
      pos = end + 1;
      ++lineNumber;
      if (!part.empty() && part.back() == '\r') part.pop_back();
      if (!line.empty()) {
        size_t skip = part.find_first_not_of(" \t");
        part = skip == std::string::npos ? "" : part.substr(skip);
      }
      line += part;
      if (line.empty() || line.back() != '\\' || line.find("=hex") == std::string::npos) break;
      line.pop_back();
    }
    if (!header) {
      if (line != "WINE REGISTRY Version 2")
        Bad(first, "not a Wine registry file (\"WINE REGISTRY Version 2\" expected)");
      header = true;
      continue;
    }
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';' || line[start] == '#') continue;
    if (line[start] == '[') {
      // [Key\\Path] timestamp: the name is escaped like a string.
      size_t p = start + 1;
      std::string path = ParseEscaped(line, p, first, ']');
      // "[]" is the file's root key itself, which holds the values set at the root.
      std::vector<std::string> parts = SplitKeyPath(path);
      bool created;
      current = parts.empty() ? root.get() : root->Create(parts, created);
      const char* stamp = line.c_str() + p;
      current->modified = std::strtoll(stamp, nullptr, 10);
      continue;
    }
    if (!current) Bad(first, "value outside a key");
    RegValue value;
    size_t p = start;
    if (line[p] == '@') {
      ++p;
    } else if (line[p] == '"') {
      value.name = ParseQuoted(line, p, first);
    } else {
      Bad(first, "unexpected text");
    }
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
    if (p >= line.size() || line[p] != '=') Bad(first, "expected '='");
    ++p;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
    ParseData(line, p, first, value);
    current->SetValue(value.name, value.type, value.data);
  }
  if (!header) Bad(1, "empty file");
  return root;
}

std::string WriteWineRegistry(const RegKey& root, const std::string& relativeTo) {
  std::string out = "WINE REGISTRY Version 2\n;; All keys relative to " + Escape(relativeTo, "") + "\n";
  // Values set at the root itself go first, under the root's empty name, as Wine saves them.
  if (!root.values.empty()) {
    out += "\n[] " + std::to_string(root.modified) + "\n";
    for (const RegValue& value : root.values) WriteValue(out, value);
  }
  WriteKey(out, root, "");
  return out;
}

std::string DwordText(const std::string& fourBytes) {
  uint32_t number;
  std::memcpy(&number, fourBytes.data(), 4);
  char buf[16];
  std::snprintf(buf, sizeof buf, "dword:%08x", number);
  return buf;
}

std::string HexPrefix(DWORD type) {
  if (type == REG_BINARY) return "hex:";
  char buf[24];
  std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
  return buf;
}

void WriteHex(std::string& out, size_t column, const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
    out += buf;
    column += 2;
    if (i + 1 < bytes.size()) {
      out += ',';
      ++column;
      if (column > 76) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
}

}  // namespace winposix
