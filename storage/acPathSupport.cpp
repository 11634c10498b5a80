#include "acPathSupport.h"

#include <vector>

#include "winapi.h"

std::string ExeFileName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExtractFilePath(const std::string& fileName) {
  std::size_t last = fileName.find_last_of("\\/:");
  return last == std::string::npos ? std::string() : fileName.substr(0, last + 1);
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

bool FileExists(const std::string& fileName) {
  DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StaysInsideDirectory(const std::string& relativeName) {
  if (!relativeName.empty() && (relativeName[0] == '\\' || relativeName[0] == '/')) return false;
  if (relativeName.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = relativeName.find_first_of("\\/", start);
    if (relativeName.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0)
      return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}
