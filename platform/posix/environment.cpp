// Environment variables, the system version, the computer and user names.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "codepage.h"
#include "errors.h"
#include "handles.h"
#include "winapi.h"

extern char** environ;

using namespace winposix;

namespace {

// Environment texts are UTF-8 on Linux; the API gives Windows-1252 when that
// conversion exists, else the bytes as they are.
std::string ToApiText(const char* text) {
  std::string converted;
  return Utf8ToCp1252(text, converted) ? converted : std::string(text);
}

// The value of a variable, found without regard to case when no exact match
// exists, as Windows names are not case-sensitive.
const char* FindVariable(const std::string& name) {
  if (const char* exact = std::getenv(name.c_str())) return exact;
  for (char** entry = environ; entry && *entry; ++entry) {
    const char* eq = std::strchr(*entry, '=');
    if (eq && EqualNoCase(std::string(*entry, eq - *entry), name)) return eq + 1;
  }
  return nullptr;
}

unsigned LeadingNumber(const char*& p) {
  unsigned value = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) value = value * 10 + static_cast<unsigned>(*p++ - '0');
  return value;
}

}  // namespace

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  if (!lpName || !*lpName || std::strchr(lpName, '=')) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const char* value = FindVariable(Cp1252ToUtf8(lpName));
  if (!value) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return CopyOut(ToApiText(value), lpBuffer, nSize);
}

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (!lpVersionInformation) return Fail(ERROR_INVALID_PARAMETER);
  if (lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  struct utsname names;
  if (uname(&names) != 0) return FailErrno(errno);
  // The kernel's release, "6.1.0-18-amd64": major, minor and patch level.
  const char* p = names.release;
  const unsigned major = LeadingNumber(p);
  const unsigned minor = *p == '.' ? LeadingNumber(++p) : 0;
  const unsigned patch = *p == '.' ? LeadingNumber(++p) : 0;
  lpVersionInformation->dwMajorVersion = major;
  lpVersionInformation->dwMinorVersion = minor;
  lpVersionInformation->dwBuildNumber = patch;
  lpVersionInformation->dwPlatformId = VER_PLATFORM_STOWAWAY_LINUX;
  std::string text = std::string(names.sysname) + " " + names.release;
  text = text.substr(0, sizeof lpVersionInformation->szCSDVersion - 1);
  std::memset(lpVersionInformation->szCSDVersion, 0, sizeof lpVersionInformation->szCSDVersion);
  std::memcpy(lpVersionInformation->szCSDVersion, text.data(), text.size());
  return TRUE;
}

BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  if (!nSize) return Fail(ERROR_INVALID_PARAMETER);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return FailErrno(errno);
  // The NetBIOS form: the host part, upper case, at most 15 characters.
  std::string name(host, std::strcspn(host, "."));
  name = name.substr(0, MAX_COMPUTERNAME_LENGTH);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!lpBuffer || *nSize <= name.size()) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    return Fail(ERROR_BUFFER_OVERFLOW);
  }
  std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}

BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer) {
  if (!pcbBuffer) return Fail(ERROR_INVALID_PARAMETER);
  std::string name;
  if (struct passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
    name = ToApiText(pw->pw_name);
  else if (const char* user = std::getenv("USER"))
    name = ToApiText(user);
  else
    return Fail(ERROR_ACCESS_DENIED);
  // The count includes the terminator, on success as when the buffer is too small.
  if (!lpBuffer || *pcbBuffer <= name.size()) {
    *pcbBuffer = static_cast<DWORD>(name.size() + 1);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
  *pcbBuffer = static_cast<DWORD>(name.size() + 1);
  return TRUE;
}
