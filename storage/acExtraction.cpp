// Extraction of stored files: the target directory of TExtractTo, writing one stored file
// with its events, the automatic extraction after loading and the removal at destruction.
#include "acFileStorage.h"
#include "acPathSupport.h"
#include "acUtils.h"
#include "winapi.h"

namespace {

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ShellFolder(const char* valueName) {
  std::string value;
  ReadRegString(HKEY_CURRENT_USER, kShellFolders, valueName, value);
  return value;
}

std::string BaseDirectory(TacToplevelDir dir) {
  switch (dir) {
    case tdCurrentDir: return ExtractFilePath(ExeFileName());
    case tdWindowsDir: return GetWindowsDir();
    case tdTempDir: return GetTempDir();
    case tdSystemDir: return GetSystemDir();
    case tdMediaDir: return GetWindowsDir() + "MEDIA";
    case tdCursorsDir: return GetWindowsDir() + "CURSORS";
    case tdHelpDir: return GetWindowsDir() + "HELP";
    case tdSamplesDir: return GetWindowsDir() + "SAMPLES";
    case tdDesktop: return ShellFolder("Desktop");
    case tdProgramFiles: return GetWindowsDir().substr(0, 3) + "Program Files";
    case tdMyDocuments: return ShellFolder("Personal");
    case tdMyPictures: return ShellFolder("My Pictures");
    case tdAppData: return ShellFolder("AppData");
  }
  return {};
}

}  // namespace

std::string TExtractTo::GetExtractDir() const {
  std::string sub = StripLeadingChars(IncludeTrailingBackslash(Subdirectory), '\\');
  return IncludeTrailingBackslash(BaseDirectory(ToplevelDir)) + sub;
}

bool TStoredFile::Extract(const std::string& fileName, bool createPath) {
  TacFileStorage* storage = Storage();
  TComponent* sender = storage ? storage->Owner() : nullptr;
  bool allow = true;
  if (storage && storage->OnExtract) storage->OnExtract(sender, fileName, Size, allow);
  if (!allow) return true;

  bool result = false;
  // A stored name that would lead out of the extraction directory is never written.
  if (StaysInsideDirectory(FileName)) {
    if (createPath) CreateFilePath(fileName);
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      result = WriteFile(file, Data.Memory(), static_cast<DWORD>(Size), &written, nullptr) != 0;
      CloseHandle(file);
      if (result && storage && storage->AutoExtract()->RemoveOnTerminate)
        storage->ExtractedFiles().Add(fileName);
    }
  }
  if (storage && storage->OnExtracted) storage->OnExtracted(sender, fileName, Size, result);
  return result;
}

void TacFileStorage::Loaded() {
  TacComponent::Loaded();
  if (!autoExtract_->Enabled() || IsDesigning()) return;
  for (int i = 0; i < files_->Count(); ++i) {
    TStoredFile* file = File(i);
    std::string path = autoExtract_->ExtractTo()->GetExtractDir() + file->FileName;
    bool extract = true;
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
    if (extract) file->Extract(path, autoExtract_->ExtractTo()->CreatePath);
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
