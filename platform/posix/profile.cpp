// GetPrivateProfileStringA / WritePrivateProfileStringA over INI files.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "errors.h"
#include "inifile.h"
#include "pathmap.h"
#include "wholefile.h"
#include "winapi.h"

using namespace winposix;

namespace {

// The INI file's Unix path; a name without a directory lives in the Windows
// directory, as on Windows.
bool ProfilePath(LPCSTR fileName, std::string& unixPath, DWORD& error) {
  std::string windowsPath = fileName ? fileName : "win.ini";
  if (windowsPath.find_first_of("\\/:") == std::string::npos) windowsPath = "C:\\windows\\" + windowsPath;
  return MapWindowsPath(windowsPath.c_str(), unixPath, error);
}

// The file's content; false when it cannot be read (a missing file included), with errno set.
bool ReadContent(const std::string& unixPath, std::string& content) {
  try {
    content = wholefile::Read(unixPath);
    return true;
  } catch (const std::system_error& e) {
    errno = e.code().value();
    return false;
  }
}

// Replaces the file with the text, so a failure never leaves a half-written
// file; the text is on the disk before it takes the file's name. The file
// keeps its permissions; a new one gets the usual 0666 less the umask.
BOOL ReplaceContent(const std::string& unixPath, const std::string& text) {
  try {
    wholefile::Replace(unixPath, text.data(), text.size(), wholefile::Durability::File, wholefile::Mode::Kept);
    return TRUE;
  } catch (const std::system_error& e) {
    return FailErrno(e.code().value(), unixPath);
  }
}

// Copies a list of names, each ended by a zero and one more zero after the
// last; when it does not fit, it is cut and ended by two zeros.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(std::min<size_t>(value.size(), size - 1));
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return length;
}

// A text that would break the file's line structure: a line break anywhere,
// '=' in a key, ']' in a section name. Such a write could plant entries the
// caller never asked for, so it is refused.
bool Breaks(LPCSTR text, const char* forbidden) { return text && std::strpbrk(text, forbidden) != nullptr; }

std::string WithoutTrailingBlanks(const char* text) {
  std::string value = text ? text : "";
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  return value;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string unixPath, content;
  DWORD error = 0;
  const bool found = ProfilePath(lpFileName, unixPath, error) && ReadContent(unixPath, content);
  SetLastError(found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  const TIniText ini(found ? content : std::string());
  if (!lpAppName) return CopyList(ini.Sections(), lpReturnedString, nSize);
  if (!lpKeyName) return CopyList(ini.Keys(lpAppName), lpReturnedString, nSize);
  const auto value = ini.Value(lpAppName, lpKeyName);
  return CopyValue(value ? *value : WithoutTrailingBlanks(lpDefault), lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpAppName || Breaks(lpAppName, "\r\n]") || Breaks(lpKeyName, "\r\n=") || Breaks(lpString, "\r\n"))
    return Fail(ERROR_INVALID_PARAMETER);
  std::string unixPath;
  DWORD error = 0;
  if (!ProfilePath(lpFileName, unixPath, error)) return Fail(error);
  std::string content;
  if (!ReadContent(unixPath, content) && errno != ENOENT) return FailErrno(errno, unixPath);
  TIniText ini(content);
  if (!lpKeyName)
    ini.RemoveSection(lpAppName);
  else if (!lpString)
    ini.RemoveKey(lpAppName, lpKeyName);
  else
    ini.Set(lpAppName, lpKeyName, lpString);
  return ReplaceContent(unixPath, ini.Text());
}
