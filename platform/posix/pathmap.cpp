#include "pathmap.h"

#include <cctype>
#include <cstring>
#include <dirent.h>
#include <limits.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "codepage.h"
#include "hostpath.h"
#include "prefix.h"

namespace winposix {
namespace {

// Folds the letters of UTF-8 text that Windows-1252 holds to lower case, so that names can
// be compared as Windows compares them.
std::string FoldUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
    } else if (c == 0xC3 && i + 1 < s.size()) {
      // U+00C0..U+00DE (except U+00D7) are C3 80..C3 9E.
      unsigned char d = static_cast<unsigned char>(s[i + 1]);
      out += static_cast<char>(c);
      out += (d >= 0x80 && d <= 0x9E && d != 0x97) ? static_cast<char>(d + 0x20) : static_cast<char>(d);
      ++i;
    } else if (c == 0xC5 && i + 1 < s.size()) {
      // The code page's other letter pairs: Œ (C5 92), Š (C5 A0), Ž (C5 BD), and Ÿ (C5 B8),
      // whose small letter ÿ is U+00FF (C3 BF).
      unsigned char d = static_cast<unsigned char>(s[i + 1]);
      if (d == 0xB8) {
        out += "\xC3\xBF";
      } else {
        out += static_cast<char>(c);
        out += (d == 0x92 || d == 0xA0 || d == 0xBD) ? static_cast<char>(d + 1) : static_cast<char>(d);
      }
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string CurrentDir() {
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return "/";
  return buf;
}

bool IsBelow(const std::string& path, const std::string& root) {
  return path == root ||
         (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

void SplitComponents(const std::string& text, char sep, std::vector<std::string>& parts) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(sep, start);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// The drive and components (relative to that drive's root) of the current directory.
void CurrentLocation(char& drive, std::vector<std::string>& parts) {
  std::string cwd = CurrentDir();
  std::string driveC = DriveCDir();
  std::string rest = cwd;
  drive = 'Z';
  if (IsBelow(cwd, driveC)) {
    drive = 'C';
    rest = cwd.substr(driveC.size());
  }
  SplitComponents(rest, '/', parts);
}

// Finds the entry of dir whose name equals name without regard to case.
bool FindNoCase(const std::string& dir, const std::string& name, std::string& found) {
  DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
  if (!d) return false;
  const std::string folded = FoldUtf8(name);
  bool ok = false;
  while (struct dirent* e = readdir(d)) {
    if (FoldUtf8(e->d_name) == folded) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  closedir(d);
  return ok;
}

}  // namespace

bool MapWindowsPath(const char* windowsPath, std::string& unixPath, DWORD& error) {
  if (!windowsPath || !*windowsPath) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  std::string path = Cp1252ToUtf8(windowsPath);
  for (char& c : path)
    if (c == '/') c = '\\';
  if (path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0) path = path.substr(4);
  if (path.compare(0, 2, "\\\\") == 0) {
    error = ERROR_BAD_PATHNAME;
    return false;
  }

  char currentDrive;
  std::vector<std::string> currentParts;
  std::vector<std::string> parts;
  char drive;
  try {
    CurrentLocation(currentDrive, currentParts);
  } catch (const std::exception&) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    path = path.substr(2);
    if ((path.empty() || path[0] != '\\') && drive == currentDrive) parts = currentParts;
  } else {
    drive = currentDrive;
    if (path[0] != '\\') parts = currentParts;
  }
  SplitComponents(path, '\\', parts);

  std::vector<std::string> clean;
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!clean.empty()) clean.pop_back();
      continue;
    }
    if (part.find_first_of("*?\"<>|:") != std::string::npos) {
      error = ERROR_INVALID_NAME;
      return false;
    }
    clean.push_back(part);
  }
  if (!clean.empty()) {
    std::string& last = clean.back();
    while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
    if (last.empty()) clean.pop_back();
  }

  std::string result;
  if (drive == 'C') {
    try {
      result = DriveCDir();
    } catch (const std::exception&) {
      error = ERROR_PATH_NOT_FOUND;
      return false;
    }
  } else if (drive != 'Z') {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  bool lookup = true;
  for (const std::string& part : clean) {
    std::string candidate = result + "/" + part;
    struct stat st;
    if (lookup && lstat(candidate.c_str(), &st) != 0) {
      std::string found;
      if (FindNoCase(result, part, found))
        candidate = result + "/" + found;
      else
        lookup = false;
    }
    result = candidate;
  }
  unixPath = result.empty() ? "/" : result;
  return true;
}

bool MapUnixPath(const std::string& unixPathIn, std::string& windowsPath, DWORD& error) {
  std::string absolute = unixPathIn;
  if (absolute.empty() || absolute[0] != '/') absolute = CurrentDir() + "/" + absolute;
  std::vector<std::string> parts, clean;
  SplitComponents(absolute, '/', parts);
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!clean.empty()) clean.pop_back();
    } else {
      clean.push_back(part);
    }
  }
  std::string path;
  for (const std::string& part : clean) path += "/" + part;
  if (path.empty()) path = "/";

  std::string driveC;
  try {
    driveC = DriveCDir();
  } catch (const std::exception&) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  std::string drive = "Z:";
  std::string rest = path;
  char real[PATH_MAX];
  if (IsBelow(path, driveC)) {
    drive = "C:";
    rest = path.substr(driveC.size());
  } else if (realpath(driveC.c_str(), real) && IsBelow(path, real)) {
    drive = "C:";
    rest = path.substr(std::strlen(real));
  }
  if (rest.empty() || rest == "/") rest = "\\";
  for (char& c : rest)
    if (c == '/') c = '\\';
  std::string converted;
  if (!Utf8ToCp1252(rest, converted)) {
    error = ERROR_NO_UNICODE_TRANSLATION;
    return false;
  }
  windowsPath = drive + converted;
  return true;
}

void SplitWindowsPath(const std::string& windowsPath, std::string& directory, std::string& name) {
  size_t sep = windowsPath.find_last_of("\\/");
  if (sep == std::string::npos && windowsPath.size() >= 2 && windowsPath[1] == ':') sep = 1;
  if (sep == std::string::npos) {
    directory.clear();
    name = windowsPath;
  } else {
    directory = windowsPath.substr(0, sep + 1);
    name = windowsPath.substr(sep + 1);
  }
}

}  // namespace winposix

std::string WindowsPathToUnix(const std::string& windowsPath) {
  std::string unixPath;
  DWORD error = 0;
  if (!winposix::MapWindowsPath(windowsPath.c_str(), unixPath, error))
    throw std::runtime_error("cannot map the Windows path \"" + windowsPath + "\" to a Unix path (error " +
                             std::to_string(error) + ")");
  return unixPath;
}

std::string UnixPathToWindows(const std::string& unixPath) {
  std::string windowsPath;
  DWORD error = 0;
  if (!winposix::MapUnixPath(unixPath, windowsPath, error))
    throw std::runtime_error("cannot express the Unix path \"" + unixPath + "\" as a Windows path (error " +
                             std::to_string(error) + ")");
  return windowsPath;
}

std::string StowawayPrefixDirectory() { return winposix::PrefixDir(); }

std::string HostTextToUtf8(const std::string& hostText) { return hostText; }
