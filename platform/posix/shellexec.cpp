// ShellExecuteA with the verb "open": programs (ELF files, and #! scripts that
// are executable or carry a program extension) start directly, everything else (documents, directories, http and https
// addresses) opens with the desktop's default application through xdg-open.
// Started programs are detached: they run in a session of their own and are
// not children of the caller.
#include <cctype>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "codepage.h"
#include "pathmap.h"
#include "winapi.h"

extern char** environ;

using namespace winposix;

namespace {

HINSTANCE Result(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

// Splits parameters as a Windows program's start-up code does: blanks
// separate, double quotes group, backslashes escape only before a quote.
std::vector<std::string> SplitParameters(const std::string& text) {
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
      if (text[i] == '\\') {
        size_t n = 0;
        while (i < text.size() && text[i] == '\\') {
          ++n;
          ++i;
        }
        if (i < text.size() && text[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (text[i] == '"') {
        if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += text[i++];
      }
    }
    args.push_back(Cp1252ToUtf8(arg));
  }
  return args;
}

bool IsUrl(const std::string& file) {
  size_t colon = file.find(':');
  if (colon == std::string::npos || colon < 2)  // "C:" is a drive, not a scheme
    return false;
  for (size_t i = 0; i < colon; ++i)
    if (!std::isalnum(static_cast<unsigned char>(file[i])) && file[i] != '+' && file[i] != '-' && file[i] != '.')
      return false;
  return true;
}

// The extensions that make a script a program on Windows' side (and ".sh" on
// ours): a "#!" file carrying one of them runs even without its executable bit.
bool HasProgramExtension(const std::string& path) {
  const size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return false;
  const std::string extension = path.substr(dot);
  for (const char* known : {".exe", ".com", ".bat", ".cmd", ".sh"})
    if (EqualNoCase(extension.c_str(), known)) return true;
  return false;
}

// A file that "open" runs directly: an ELF executable, or a "#!" script that is
// already executable or has a program extension. Any other file, whatever its
// first bytes, is a document for the desktop's opener.
bool IsProgram(const std::string& path, const struct stat& st) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char head[4] = {};
  ssize_t n = read(fd, head, sizeof head);
  close(fd);
  if (n >= 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') return true;
  if (n >= 2 && head[0] == '#' && head[1] == '!') return (st.st_mode & S_IXUSR) != 0 || HasProgramExtension(path);
  return false;
}

// Starts argv detached: a short-lived child starts the program in a new
// session and exits, so the program is adopted by init. Returns 0 or errno.
int SpawnDetached(const std::vector<std::string>& argv, const std::string& directory, bool search) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return errno;
  pid_t child = fork();
  if (child < 0) {
    int err = errno;
    close(report[0]);
    close(report[1]);
    return err;
  }
  if (child == 0) {
    close(report[0]);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t pid;
    int rc = search ? posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ)
                    : posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
    ssize_t ignored = write(report[1], &rc, sizeof rc);
    (void)ignored;
    _exit(0);
  }
  close(report[1]);
  int rc = ECHILD;
  ssize_t n;
  while ((n = read(report[0], &rc, sizeof rc)) < 0 && errno == EINTR) {}
  close(report[0]);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
  return n == sizeof rc ? rc : ECHILD;
}

INT_PTR ErrorOf(int err) {
  switch (err) {
    case 0:
      return 42;
    case ENOENT:
      return SE_ERR_FNF;
    case ENOTDIR:
      return SE_ERR_PNF;
    case EACCES:
    case EPERM:
      return SE_ERR_ACCESSDENIED;
    case ENOMEM:
      return SE_ERR_OOM;
    case ENOEXEC:
      return ERROR_BAD_FORMAT;
    default:
      return SE_ERR_ACCESSDENIED;
  }
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory, INT) {
  if (lpOperation && *lpOperation && !EqualNoCase(lpOperation, "open")) {
    SetLastError(ERROR_NO_ASSOCIATION);
    return Result(SE_ERR_NOASSOC);
  }
  if (!lpFile || !*lpFile) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return Result(SE_ERR_FNF);
  }
  std::string directory;
  DWORD error = 0;
  if (lpDirectory && *lpDirectory && !MapWindowsPath(lpDirectory, directory, error)) {
    SetLastError(error);
    return Result(SE_ERR_PNF);
  }
  const std::string file = lpFile;
  if (IsUrl(file)) {
    int rc = SpawnDetached({"xdg-open", Cp1252ToUtf8(file)}, directory, true);
    SetLastError(rc == 0 ? ERROR_SUCCESS : ERROR_NO_ASSOCIATION);
    return Result(rc == 0 ? 42 : rc == ENOENT ? SE_ERR_NOASSOC : ErrorOf(rc));
  }
  std::string path;
  if (!MapWindowsPath(file.c_str(), path, error)) {
    SetLastError(error);
    return Result(error == ERROR_PATH_NOT_FOUND ? SE_ERR_PNF : SE_ERR_FNF);
  }
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    const DWORD code = errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    SetLastError(code);
    return Result(code == ERROR_FILE_NOT_FOUND ? SE_ERR_FNF : SE_ERR_PNF);
  }
  if (S_ISREG(st.st_mode) && IsProgram(path, st)) {
    // Files written by the extraction carry no executable bit yet; only a
    // program about to run gets one.
    if ((st.st_mode & S_IXUSR) == 0 && chmod(path.c_str(), st.st_mode | ((st.st_mode & 0444) >> 2)) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return Result(SE_ERR_ACCESSDENIED);
    }
    std::vector<std::string> argv = {path};
    for (std::string& arg : SplitParameters(lpParameters ? lpParameters : "")) argv.push_back(std::move(arg));
    int rc = SpawnDetached(argv, directory, false);
    SetLastError(rc == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
    return Result(ErrorOf(rc));
  }
  int rc = SpawnDetached({"xdg-open", path}, directory, true);
  SetLastError(rc == 0 ? ERROR_SUCCESS : ERROR_NO_ASSOCIATION);
  return Result(rc == 0 ? 42 : rc == ENOENT ? SE_ERR_NOASSOC : ErrorOf(rc));
}
