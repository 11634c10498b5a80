// Extraction of stored files: the target directory of TExtractTo, writing one stored file
// with its events, the automatic extraction after loading and the removal at destruction.
#include <functional>
#include <vector>

#include "acFileStorage.h"
#include "acFileWriter.h"
#include "acPathSupport.h"
#include "acStoredName.h"
#include "util/acUtils.h"
#include "platform/winapi.h"

namespace {

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ShellFolder(const char* valueName) {
  std::string value;
  ReadRegString(HKEY_CURRENT_USER, kShellFolders, valueName, value);
  return value;
}

std::string BaseDirectory(TacToplevelDir dir) {
  switch (dir) {
    case tdCurrentDir:
      return ExtractFilePath(ExeFileName());
    case tdWindowsDir:
      return GetWindowsDir();
    case tdTempDir:
      return GetTempDir();
    case tdSystemDir:
      return GetSystemDir();
    case tdMediaDir:
      return GetWindowsDir() + "MEDIA";
    case tdCursorsDir:
      return GetWindowsDir() + "CURSORS";
    case tdHelpDir:
      return GetWindowsDir() + "HELP";
    case tdSamplesDir:
      return GetWindowsDir() + "SAMPLES";
    case tdDesktop:
      return ShellFolder("Desktop");
    case tdProgramFiles:
      return GetWindowsDir().substr(0, 3) + "Program Files";
    case tdMyDocuments:
      return ShellFolder("Personal");
    case tdMyPictures:
      return ShellFolder("My Pictures");
    case tdAppData:
      return ShellFolder("AppData");
  }
  return {};
}

}  // namespace

std::string TExtractTo::GetExtractDir() const {
  // No base directory (a refused temporary directory, a missing folder value) is no path: it
  // must never turn into the root of the drive.
  std::string base = BaseDirectory(ToplevelDir);
  if (base.empty()) return {};
  std::string sub = StripLeadingChars(IncludeTrailingBackslash(Subdirectory), '\\');
  return IncludeTrailingBackslash(base) + sub;
}

bool TStoredFile::ExtractWith(const std::string& fileName, const std::function<void()>& write) {
  if (TacFileStorage* storage = Storage()) return storage->ExtractFile(*this, fileName, write);
  try {
    write();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TacFileStorage::ExtractFile(TStoredFile& file, const std::string& fileName, const std::function<void()>& write) {
  TComponent* sender = Owner();
  bool allow = true;
  if (OnExtract) OnExtract(sender, fileName, file.Size, allow);
  if (!allow) return true;

  bool result = false;
  try {
    write();
    result = true;
  } catch (const std::exception&) {
    // Extraction absorbs the failure: the result says it, and no file stands under the name.
  }
  if (result && AutoExtract()->RemoveOnTerminate) ExtractedFiles().Add(fileName);
  if (OnExtracted) OnExtracted(sender, fileName, file.Size, result);
  return result;
}

bool TStoredFile::Extract(const std::string& fileName, bool createPath) {
  return ExtractWith(fileName, [&] {
    if (createPath) CreateFilePath(fileName);
    WriteStoredFileTo(*this, fileName);
  });
}

bool TStoredFile::ExtractBelow(const std::string& directory, bool createPath) {
  std::vector<std::string> parts;
  std::string problem = StoredNameProblem(FileName, parts);
  return ExtractWith(TargetBelow(directory), [&] {
    if (directory.empty()) throw EExtractError(FileName, "no extraction directory");
    if (!problem.empty()) throw EExtractError(FileName, "the stored name " + problem);
    WriteStoredFileTo(*this, PrepareTargetBelow(directory, parts, createPath));
  });
}

std::string TStoredFile::TargetBelow(const std::string& directory) const {
  std::vector<std::string> parts;
  if (!StoredNameProblem(FileName, parts).empty()) return directory + FileName;
  std::string path = directory;
  for (size_t i = 0; i < parts.size(); ++i) path += (i ? "\\" : "") + parts[i];
  return path;
}

void TacFileStorage::Loaded() {
  TacComponent::Loaded();
  if (!autoExtract_->Enabled() || IsDesigning()) return;
  const std::string dir = autoExtract_->ExtractTo()->GetExtractDir();
  for (int i = 0; i < files_->Count(); ++i) {
    TStoredFile* file = File(i);
    if (!file) continue;  // an item of another class in a list given through SetFiles
    std::string path = file->TargetBelow(dir);
    // A link standing at the name is never taken for the file: it is replaced.
    bool extract = true;
    if (!dir.empty() && !IsLink(path)) {
      switch (autoExtract_->Overwrite) {
        case owIfSizeDifferent:
          if (FileExists(path)) {
            try {
              extract = GetFileSizeByName(path) != static_cast<int64_t>(file->Size);
            } catch (...) {
              extract = true;
            }
          }
          break;
        case owNever:
          extract = !FileExists(path);
          break;
        case owAlways:
          break;
      }
    }
    if (extract) file->ExtractBelow(dir, autoExtract_->ExtractTo()->CreatePath);
  }
}

void TacFileStorage::RemoveExtractedFiles() noexcept {
  try {
    if (!autoExtract_->Enabled() || !autoExtract_->RemoveOnTerminate || extractedFiles_.Count() == 0) return;
    for (int i = 0; i < extractedFiles_.Count(); ++i) DeleteFileA(extractedFiles_[i].c_str());
    std::string dir = ExtractFilePath(extractedFiles_[0]);
    if (DirExists(dir) && IsDirEmpty(dir)) RemoveDirectoryA(dir.c_str());
  } catch (...) {
    // Removal at the end is best effort: whatever cannot be deleted stays.
  }
}
