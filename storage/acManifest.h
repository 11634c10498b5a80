#pragma once
// The manifest of an installer: the size and SHA-256 of every file its storages carry, kept
// as the resource "MANIFEST" (RT_RCDATA) so that the installer can prove each extracted file
// whole before it starts the setup program. The text has one line per file:
//
//   <64 lower-case hex digits> <size in decimal> <stored name, Windows-1252>\n
//
// An installer without the resource checks nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kManifestResourceName[] = "MANIFEST";

struct ManifestEntry {
  std::string name;  // as stored, Windows-1252
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
};

// Raises std::invalid_argument for a name the line format cannot hold (empty, or with a
// line break).
std::string FormatManifest(const std::vector<ManifestEntry>& entries);
// False for text that is not a manifest.
bool ParseManifest(std::string_view text, std::vector<ManifestEntry>& entries);

// Checks the files below a Windows directory path (with its final backslash) against the
// manifest. Returns the stored name of the first file that is missing, differs in size or
// differs in its digest, or the empty text when every file is whole.
std::string FirstDamagedFile(const std::vector<ManifestEntry>& entries, const std::string& directory);
