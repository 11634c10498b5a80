#include "acFileWriter.h"

#include "acPathSupport.h"
#include "acStoredFile.h"
#include "util/acUtils.h"
#include "platform/winapi.h"

namespace {

std::string ErrorText(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "the file was not found";
    case ERROR_PATH_NOT_FOUND:
      return "the directory was not found";
    case ERROR_ACCESS_DENIED:
      return "access is denied";
    case ERROR_SHARING_VIOLATION:
      return "the file is in use";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "there is not enough space on the disk";
    case ERROR_WRITE_PROTECT:
      return "the medium is write-protected";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "the file exists";
    case ERROR_INVALID_NAME:
      return "the name is not valid";
    default:
      return "error " + std::to_string(code);
  }
}

[[noreturn]] void Fail(const std::string& path, const std::string& what) { throw EExtractError(path, what); }

// Creates a new file beside path that no one else has: the name is path with a suffix, and
// CREATE_NEW refuses anything (a file or a link) already standing there.
HANDLE CreateTemporaryBeside(const std::string& path, std::string& temp) {
  static unsigned counter = 0;
  for (unsigned attempt = 0;; ++attempt) {
    temp = path + ".~" + std::to_string(GetTickCount() % 100000) + "-" + std::to_string(counter++) + ".part";
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    DWORD error = GetLastError();
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 99)
      Fail(path, "cannot create a file: " + ErrorText(error));
  }
}

}  // namespace

bool IsLink(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string PrepareTargetBelow(const std::string& directory, const std::vector<std::string>& parts, bool createPath) {
  if (directory.empty()) throw EExtractError("", "no extraction directory");
  if (createPath && !DirExists(directory)) {
    CreateFilePath(directory);
    if (!DirExists(directory)) Fail(directory, "cannot create the directory");
  }
  std::string path = directory;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    path += parts[i];
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      if (!createPath) Fail(path, "the directory does not exist");
      if (!CreateDirectoryA(path.c_str(), nullptr))
        Fail(path, "cannot create the directory: " + ErrorText(GetLastError()));
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      Fail(path, "is a link; nothing is written through it");
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      Fail(path, "is not a directory");
    }
    path += "\\";
  }
  return path + parts.back();
}

void WriteStoredFileTo(TStoredFile& file, const std::string& path) {
  std::string temp;
  HANDLE h = CreateTemporaryBeside(path, temp);
  bool closed = false;
  try {
    file.ForEachPiece([&](const uint8_t* p, size_t n) {
      DWORD written = 0;
      if (!WriteFile(h, p, static_cast<DWORD>(n), &written, nullptr) || written != n)
        Fail(path, "cannot write: " + ErrorText(GetLastError()));
    });
    closed = true;
    if (!CloseHandle(h)) Fail(path, "cannot write: " + ErrorText(GetLastError()));
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
      Fail(path, "cannot replace the file: " + ErrorText(GetLastError()));
  } catch (...) {
    if (!closed) CloseHandle(h);
    DeleteFileA(temp.c_str());
    throw;
  }
}
