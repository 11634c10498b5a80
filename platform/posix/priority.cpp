// Process and thread priorities over the Linux nice value, Sleep and GetTickCount.
//
// A priority class or thread priority maps to a nice value. Setting the level
// that was last read back restores the nice value observed then, so a caller
// that raises the priority and puts back what it read always ends where it
// started, also when the raise itself was refused for lack of privileges.
#include <cerrno>
#include <ctime>
#include <map>
#include <mutex>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "errors.h"
#include "winapi.h"

using namespace winposix;

namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

struct ClassNice {
  DWORD level;
  int nice;
};
const ClassNice kClasses[] = {
    {IDLE_PRIORITY_CLASS, 19},         {BELOW_NORMAL_PRIORITY_CLASS, 10}, {NORMAL_PRIORITY_CLASS, 0},
    {ABOVE_NORMAL_PRIORITY_CLASS, -5}, {HIGH_PRIORITY_CLASS, -10},        {REALTIME_PRIORITY_CLASS, -20},
};

DWORD ClassOfNice(int nice) {
  if (nice >= 15) return IDLE_PRIORITY_CLASS;
  if (nice >= 5) return BELOW_NORMAL_PRIORITY_CLASS;
  if (nice > -3) return NORMAL_PRIORITY_CLASS;
  if (nice > -8) return ABOVE_NORMAL_PRIORITY_CLASS;
  if (nice > -15) return HIGH_PRIORITY_CLASS;
  return REALTIME_PRIORITY_CLASS;
}

int ThreadPriorityOfOffset(int offset) {
  if (offset >= 15) return THREAD_PRIORITY_TIME_CRITICAL;
  if (offset <= -15) return THREAD_PRIORITY_IDLE;
  if (offset > 2) return THREAD_PRIORITY_HIGHEST;
  if (offset < -2) return THREAD_PRIORITY_LOWEST;
  return offset;
}

int Clamp(int nice) { return nice < -20 ? -20 : nice > 19 ? 19 : nice; }

pid_t ThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

bool ReadNice(pid_t who, int& nice) {
  errno = 0;
  nice = getpriority(PRIO_PROCESS, static_cast<id_t>(who));
  return !(nice == -1 && errno != 0);
}

BOOL WriteNice(pid_t who, int nice) {
  if (setpriority(PRIO_PROCESS, static_cast<id_t>(who), nice) != 0)
    return Fail(errno == EACCES || errno == EPERM ? ERROR_PRIVILEGE_NOT_HELD : Win32Error(errno));
  return TRUE;
}

std::mutex classMutex;
std::map<DWORD, int> observedClassNice;
thread_local std::map<int, int> observedThreadNice;

}  // namespace

HANDLE GetCurrentProcess() { return kCurrentProcess; }

HANDLE GetCurrentThread() { return kCurrentThread; }

DWORD GetPriorityClass(HANDLE hProcess) {
  if (hProcess != kCurrentProcess) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  int nice;
  if (!ReadNice(getpid(), nice)) {
    SetLastError(Win32Error(errno));
    return 0;
  }
  const DWORD level = ClassOfNice(nice);
  std::lock_guard<std::mutex> lock(classMutex);
  observedClassNice[level] = nice;
  return level;
}

BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass) {
  if (hProcess != kCurrentProcess) return Fail(ERROR_INVALID_HANDLE);
  int nice = 0;
  bool known = false;
  for (const ClassNice& c : kClasses)
    if (c.level == dwPriorityClass) {
      nice = c.nice;
      known = true;
    }
  if (!known) return Fail(ERROR_INVALID_PARAMETER);
  {
    std::lock_guard<std::mutex> lock(classMutex);
    auto it = observedClassNice.find(dwPriorityClass);
    if (it != observedClassNice.end()) nice = it->second;
  }
  return WriteNice(getpid(), nice);
}

int GetThreadPriority(HANDLE hThread) {
  if (hThread != kCurrentThread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return THREAD_PRIORITY_ERROR_RETURN;
  }
  int processNice, threadNice;
  if (!ReadNice(getpid(), processNice) || !ReadNice(ThreadId(), threadNice)) {
    SetLastError(Win32Error(errno));
    return THREAD_PRIORITY_ERROR_RETURN;
  }
  const int level = ThreadPriorityOfOffset(processNice - threadNice);
  observedThreadNice[level] = threadNice;
  return level;
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority) {
  if (hThread != kCurrentThread) return Fail(ERROR_INVALID_HANDLE);
  int nice;
  if (auto it = observedThreadNice.find(nPriority); it != observedThreadNice.end()) {
    nice = it->second;
  } else {
    int processNice;
    if (!ReadNice(getpid(), processNice)) return FailErrno(errno);
    switch (nPriority) {
      case THREAD_PRIORITY_IDLE:
        nice = 19;
        break;
      case THREAD_PRIORITY_TIME_CRITICAL:
        nice = -20;
        break;
      case THREAD_PRIORITY_LOWEST:
      case THREAD_PRIORITY_BELOW_NORMAL:
      case THREAD_PRIORITY_NORMAL:
      case THREAD_PRIORITY_ABOVE_NORMAL:
      case THREAD_PRIORITY_HIGHEST:
        nice = Clamp(processNice - nPriority);
        break;
      default:
        return Fail(ERROR_INVALID_PARAMETER);
    }
  }
  return WriteNice(ThreadId(), nice);
}

void Sleep(DWORD dwMilliseconds) {
  struct timespec left = {static_cast<time_t>(dwMilliseconds / 1000),
                          static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

DWORD GetTickCount() {
  struct timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}
