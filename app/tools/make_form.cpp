// Builds the binary form resource from the text form. Placeholders "{@KEY@}" in the text are
// replaced by a binary block "{ <hex lines> }" holding a file's bytes: KEY=PATH puts the bytes
// as they are, KEY=picture:PATH puts them as picture data (the class name "TBitmap" as a short
// string, the byte count, the bytes). The text with the blocks spliced in is written too.
// KEY=- drops the line that holds the placeholder (the property is left out).
// Usage: make_form TEMPLATE OUT.bin OUT.txt KEY=[picture:]PATH|-...
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "platform/wholefile.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

std::string PictureData(const std::string& bmp) {
  std::string data = "\x07TBitmap";
  const uint32_t n = static_cast<uint32_t>(bmp.size());
  for (int i = 0; i < 4; ++i) data += static_cast<char>((n >> (8 * i)) & 0xFF);
  return data + bmp;
}

// "{" then lines of 64 hex digits at indent + 2, then "}" on its own line at indent.
std::string HexBlock(const std::string& bytes, const std::string& indent) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "{\n";
  for (size_t i = 0; i < bytes.size(); i += 32) {
    out += indent + "  ";
    for (size_t k = i; k < bytes.size() && k < i + 32; ++k) {
      const unsigned char c = static_cast<unsigned char>(bytes[k]);
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    out += '\n';
  }
  return out + indent + "}";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_form TEMPLATE OUT.bin OUT.txt KEY=[picture:]PATH...\n");
    return 2;
  }
  try {
    std::map<std::string, std::string> blocks;
    std::set<std::string> dropped;
    for (int i = 4; i < argc; ++i) {
      const std::string arg = argv[i];
      const size_t eq = arg.find('=');
      if (eq == std::string::npos) throw std::runtime_error("bad argument " + arg);
      std::string path = arg.substr(eq + 1);
      if (path == "-") {
        blocks["{@" + arg.substr(0, eq) + "@}"] = std::string();
        dropped.insert("{@" + arg.substr(0, eq) + "@}");
        continue;
      }
      const bool picture = path.rfind("picture:", 0) == 0;
      if (picture) path = path.substr(8);
      const std::string bytes = wholefile::Read(path);
      blocks["{@" + arg.substr(0, eq) + "@}"] = picture ? PictureData(bytes) : bytes;
    }
    std::string text = wholefile::Read(argv[1]);
    for (const auto& [placeholder, bytes] : blocks) {
      const size_t at = text.find(placeholder);
      if (at == std::string::npos) throw std::runtime_error("placeholder " + placeholder + " not in the template");
      const size_t lineStart = text.rfind('\n', at) + 1;
      if (dropped.count(placeholder)) {
        text.erase(lineStart, text.find('\n', at) + 1 - lineStart);
        continue;
      }
      const size_t indentEnd = text.find_first_not_of(' ', lineStart);
      text.replace(at, placeholder.size(), HexBlock(bytes, text.substr(lineStart, indentEnd - lineStart)));
    }
    if (text.find("{@") != std::string::npos) throw std::runtime_error("a placeholder was left without a file");
    WriteFile(argv[3], text);
    TMemoryStream in(text), out;
    ObjectTextToBinary(in, out);
    WriteFile(argv[2], out.Bytes());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_form: %s\n", e.what());
    return 1;
  }
  return 0;
}
