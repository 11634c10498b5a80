#include "acManifest.h"

#include <stdexcept>

#include "platform/sha256.h"
#include "platform/winapi.h"

std::string FormatManifest(const std::vector<ManifestEntry>& entries) {
  std::string text;
  for (const ManifestEntry& e : entries) {
    if (e.name.empty() || e.name.find_first_of("\r\n") != std::string::npos)
      throw std::invalid_argument("a stored name for the manifest is empty or holds a line break");
    text += e.sha256 + " " + std::to_string(e.size) + " " + e.name + "\n";
  }
  return text;
}

bool ParseManifest(std::string_view text, std::vector<ManifestEntry>& entries) {
  entries.clear();
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.size() < 64 + 3 || line[64] != ' ') return false;
    ManifestEntry e;
    e.sha256 = std::string(line.substr(0, 64));
    if (e.sha256.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
    line.remove_prefix(65);
    const size_t blank = line.find(' ');
    if (blank == 0 || blank == std::string_view::npos || blank > 19 || blank + 1 == line.size()) return false;
    for (char c : line.substr(0, blank)) {
      if (c < '0' || c > '9') return false;
      e.size = e.size * 10 + static_cast<std::uint64_t>(c - '0');
    }
    e.name = std::string(line.substr(blank + 1));
    entries.push_back(std::move(e));
  }
  return true;
}

namespace {

// Size and digest of a file, read through the file services; false when it cannot be read.
bool DigestFile(const std::string& path, std::uint64_t& size, std::string& digest) {
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  Sha256 hash;
  std::string buffer(1 << 20, '\0');
  size = 0;
  bool ok = true;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    hash.Update(buffer.data(), got);
    size += got;
  }
  CloseHandle(h);
  if (ok) digest = Sha256::Hex(hash.Final());
  return ok;
}

}  // namespace

std::string FirstDamagedFile(const std::vector<ManifestEntry>& entries, const std::string& directory) {
  for (const ManifestEntry& e : entries) {
    std::uint64_t size = 0;
    std::string digest;
    if (!DigestFile(directory + e.name, size, digest) || size != e.size || digest != e.sha256) return e.name;
  }
  return {};
}
