// acUtils: stateless helpers over texts, command lines, the registry,
// directories, files and the machine.
//
// The system helpers call the Windows API (on Linux the platform library's
// implementation of it). They report failure through their results (false,
// an empty text, -1); errors raised by the platform itself pass through as
// exceptions, with every key and handle released on the way.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "acTextUtils.h"
#include "platform/winapi.h"

// ---- Windows version -------------------------------------------------------

// Published with its identifier names; the ordinals are streamed, keep them.
enum TacOSVersion {
  osUnknown = 0,  // any version not listed below, and every non-Windows system
  os95 = 1,
  os95OSR2 = 2,
  os98 = 3,
  os98SE = 4,
  osNT3 = 5,
  osNT4 = 6,
  os2K = 7,
  osME = 8,
  osXP = 9,  // Windows XP and any later NT 5.x
};

// Identifier names of TacOSVersion, indexed by ordinal.
inline constexpr std::array<const char*, 10> TacOSVersionNames = {
    "osUnknown", "os95", "os95OSR2", "os98", "os98SE", "osNT3", "osNT4", "os2K", "osME", "osXP",
};

// The classification of a version record as GetVersionExA fills it.
TacOSVersion ClassifyOSVersion(const OSVERSIONINFOA& info);
// The running system's version.
TacOSVersion GetOSVersion();
// True for the NT family members of TacOSVersion (osNT3, osNT4, os2K, osXP).
bool IsWinNT();

// ---- Processor clock -------------------------------------------------------

// The clock in MHz from two counter readings taken 40 ms apart: the low 32
// bits of their difference, per microsecond, truncated to a multiple of 10.
int CPUSpeedFromCounters(std::uint64_t first, std::uint64_t second);
// Measures with `readCounter` at real-time process and time-critical thread
// priority; both priorities are restored before it returns or throws.
int MeasureCPUSpeed(const std::function<std::uint64_t()>& readCounter);
// MeasureCPUSpeed over the time-stamp counter; blocks for about 50 ms.
int GetCPUSpeed();

// ---- Directories and environment -------------------------------------------

// The temporary, system and Windows directories, ending in a backslash;
// empty when the system cannot tell.
std::string GetTempDir();
std::string GetSystemDir();
std::string GetWindowsDir();

// Stores the variable's value in `value` and returns its length; 0 (and an
// empty value) when the variable is not set.
int GetEnvVar(const std::string& name, std::string& value);

// ---- Registry --------------------------------------------------------------

// Opens (or with `create`, creates with KEY_ALL_ACCESS) `keyPath` below `key`;
// leading backslashes of the path are ignored. On success `key` holds the
// opened key, which the caller closes with RegCloseKey.
bool OpenRegKey(HKEY& key, const std::string& keyPath, bool create, REGSAM access);

// Reads a value into `buffer`; `bufferSize` is the buffer's size in bytes on
// entry and the value's data size on return. A string value without any data
// counts as not read.
bool QueryRegValue(HKEY key, const std::string& valueName, DWORD valueType, void* buffer, DWORD& bufferSize);

// Reads a string value (empty name: the key's default value) into `text`,
// which is empty when nothing could be read. The result tells whether the
// KEY could be opened. Values longer than 1024 bytes are not read.
bool ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName, std::string& text);
bool ReadRegString(std::string& text, HKEY root, const std::string& keyPath, const std::string& valueName);

// Stores `text` as a REG_SZ value, creating the key when missing. Failures
// are not reported.
void WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName, const std::string& text);

// Replaces `names` with the value names of the key; false when the key could
// not be opened.
bool GetRegValueNames(HKEY root, const std::string& keyPath, std::vector<std::string>& names);

// The program path (without parameters) of the command that opens files of
// `extension` (with or without its leading dot); empty when none is found.
std::string GetShellOpenProgram(const std::string& extension);

// ---- Files and folders -----------------------------------------------------

// Creates every missing directory of the path part of `fileName`; failures
// (drive roots, existing directories, missing rights) are ignored.
void CreateFilePath(const std::string& fileName);

bool DirExists(const std::string& path);
// True for an existing directory that holds nothing but "." and "..".
bool IsDirEmpty(const std::string& directory);

// The file's full 64-bit size; -1 when it cannot be opened or measured.
std::int64_t GetFileSizeByName(const std::string& fileName);
std::int64_t GetFileSizeByHandle(HANDLE file);
