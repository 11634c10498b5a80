// stowaway reg: reads and writes the registry store the installer reads.
#include <cstring>
#include <ostream>
#include <vector>

#include "charset/Cp1252.h"
#include "util/acUtils.h"
#include "cli_error.h"
#include "platform/hostpath.h"
#include "commands.h"
#include "file_io.h"
#include "platform/regtext.h"
#include "platform/winapi.h"

namespace {

struct RootName {
  const char* longName;
  const char* shortName;
  HKEY key;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
};

// Splits "HKEY_CURRENT_USER\Software\X" (or "HKCU\...") into its root and the key path.
void SplitKey(const std::string& text, HKEY& root, std::string& path) {
  std::size_t sep = text.find('\\');
  std::string head = text.substr(0, sep);
  path = sep == std::string::npos ? std::string() : text.substr(sep + 1);
  for (const RootName& r : kRoots) {
    if (strcasecmp(head.c_str(), r.longName) == 0 || strcasecmp(head.c_str(), r.shortName) == 0) {
      root = r.key;
      return;
    }
  }
  throw UsageError("unknown root key '" + head + "' (use HKEY_CLASSES_ROOT, HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE)");
}

std::string ErrorText(LSTATUS code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "not found";
    case ERROR_ACCESS_DENIED:
      return "access denied";
    case ERROR_INVALID_PARAMETER:
      return "beyond the registry's limits (key names: 1 to 255 characters, no control characters, at most 512 "
             "levels deep; value names: at most 16383 characters)";
    default:
      return "registry error " + std::to_string(code);
  }
}

class OpenKey {
 public:
  OpenKey(const std::string& keyText, bool create) {
    HKEY root;
    std::string path;
    SplitKey(keyText, root, path);
    LSTATUS rc = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                          nullptr, &key_, nullptr)
                        : RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key_);
    if (rc != ERROR_SUCCESS) throw InputError(Cp1252ToUtf8(keyText) + ": " + ErrorText(rc));
  }
  ~OpenKey() { RegCloseKey(key_); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::string ValueName(const std::string& arg) { return arg == "@" ? std::string() : Utf8ToCp1252(HostTextToUtf8(arg)); }

std::string FormatValue(DWORD type, const std::vector<unsigned char>& data) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::string s(data.begin(), data.end());
    if (std::size_t zero = s.find('\0'); zero != std::string::npos) s.resize(zero);
    return Cp1252ToUtf8(s);
  }
  if (type == REG_DWORD && data.size() == 4) {
    uint32_t v = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    return std::to_string(v);
  }
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : data) {
    if (!hex.empty()) hex += ' ';
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

int Query(CommandContext& ctx) {
  if (ctx.args.size() < 2 || ctx.args.size() > 3) throw UsageError("usage: stowaway reg query KEY [VALUE]");
  std::string keyText = Utf8ToCp1252(HostTextToUtf8(ctx.args[1]));
  if (ctx.args.size() == 2) {
    HKEY root;
    std::string path;
    SplitKey(keyText, root, path);
    { OpenKey exists(keyText, false); }
    try {
      ctx.out << Cp1252ToUtf8(RegExportText(root, path));
    } catch (const std::runtime_error& e) {
      throw InputError(ctx.args[1] + ": " + e.what());
    }
    return ExitOk;
  }
  OpenKey key(keyText, false);
  std::string name = ValueName(ctx.args[2]);
  DWORD type = 0, size = 0;
  LSTATUS rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  std::vector<unsigned char> data(size);
  if (rc == ERROR_SUCCESS && size > 0)
    rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
  if (rc != ERROR_SUCCESS) throw InputError(ctx.args[1] + ", value '" + ctx.args[2] + "': " + ErrorText(rc));
  data.resize(size);
  ctx.out << FormatValue(type, data) << "\n";
  return ExitOk;
}

int Set(CommandContext& ctx) {
  if (ctx.args.size() != 4) throw UsageError("usage: stowaway reg set KEY VALUE DATA");
  OpenKey key(Utf8ToCp1252(HostTextToUtf8(ctx.args[1])), true);
  std::string name = ValueName(ctx.args[2]);
  std::string data = Utf8ToCp1252(HostTextToUtf8(ctx.args[3]));
  LSTATUS rc = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(data.size() + 1));
  if (rc != ERROR_SUCCESS) throw InputError(ctx.args[1] + ": cannot set '" + ctx.args[2] + "': " + ErrorText(rc));
  return ExitOk;
}

int Export(CommandContext& ctx) {
  if (ctx.args.size() < 2 || ctx.args.size() > 3) throw UsageError("usage: stowaway reg export FILE [KEY]");
  std::string text;
  try {
    if (ctx.args.size() == 3) {
      HKEY root;
      std::string path;
      SplitKey(Utf8ToCp1252(HostTextToUtf8(ctx.args[2])), root, path);
      text = RegExportText(root, path);
    } else {
      // Both hives in one file; the second export's own "REGEDIT4" header line is dropped.
      text = RegExportText(HKEY_LOCAL_MACHINE, "");
      std::string user = RegExportText(HKEY_CURRENT_USER, "");
      std::size_t body = user.find('\n');
      text += body == std::string::npos ? std::string() : user.substr(body + 1);
    }
  } catch (const std::runtime_error& e) {
    throw InputError(std::string("cannot export: ") + e.what());
  }
  WriteFileAtomically(ctx.args[1], reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return ExitOk;
}

int Import(CommandContext& ctx) {
  if (ctx.args.size() != 2) throw UsageError("usage: stowaway reg import FILE");
  std::vector<uint8_t> bytes = ReadWholeFile(ctx.args[1]);
  try {
    RegImportText(std::string(bytes.begin(), bytes.end()));
  } catch (const std::runtime_error& e) {
    throw InputError(ctx.args[1] + ": " + e.what());
  }
  return ExitOk;
}

}  // namespace

int CmdReg(CommandContext& ctx) {
  if (ctx.args.empty()) throw UsageError("expects a subcommand: query, set, export or import");
  const std::string& sub = ctx.args[0];
  if (sub == "query") return Query(ctx);
  if (sub == "set") return Set(ctx);
  if (sub == "export") return Export(ctx);
  if (sub == "import") return Import(ctx);
  throw UsageError("unknown subcommand '" + sub + "' (query, set, export or import)");
}
