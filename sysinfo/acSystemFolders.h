#pragma once
// The folders TacSystemInfo reads from (and writes to) the registry, and the folder
// properties that come from the platform's directory queries.
#include <string>

#include "platform/winapi.h"

// The key of the per-user and shared folders ("Shell Folders") and of the shared program
// folders ("CurrentVersion").
inline constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// One folder kept in the registry: the getter reads Root\Key\ValueName; the setter writes
// AlsoWritten first (when not nullptr) and then ValueName, both under Root\Key with the same
// text. Values are read and written exactly as stored: nothing is expanded or trimmed.
struct TacRegistryFolder {
  HKEY Root;
  const char* Key;
  const char* ValueName;
  const char* AlsoWritten;
};

// The registry value of the folder; empty when the key or the value is missing.
std::string ReadRegistryFolder(const TacRegistryFolder& folder);
// Stores the text as REG_SZ, creating the key when missing; a failed write is not reported.
void WriteRegistryFolder(const TacRegistryFolder& folder, const std::string& value);

// The directory without one final backslash, when it has one ("C:\" gives "C:").
std::string WithoutFinalBackslash(std::string dir);
