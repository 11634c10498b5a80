#include "ownership.h"

#include <cstdio>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace winposix {
namespace {

std::string UserText(uid_t uid) {
  std::string text = "uid " + std::to_string(uid);
  if (struct passwd* pw = getpwuid(uid); pw && pw->pw_name) text = std::string(pw->pw_name) + " (" + text + ")";
  return text;
}

std::string ModeText(mode_t mode) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04o", static_cast<unsigned>(mode & 07777));
  return buffer;
}

}  // namespace

std::string OwnershipProblem(const struct stat& st, const std::string& path, const std::string& what) {
  const uid_t me = geteuid();
  if (st.st_uid != me)
    return "the " + what + " " + path + " belongs to " + UserText(st.st_uid) + ", not to " + UserText(me) + " (mode " +
           ModeText(st.st_mode) + "); not using it";
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return "the " + what + " " + path + " is writable by group or others (mode " + ModeText(st.st_mode) + ", owner " +
           UserText(st.st_uid) + "); not using it until that is removed (chmod go-w)";
  return std::string();
}

void CheckOwnedByUser(const std::string& path, const std::string& what) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  const std::string problem = OwnershipProblem(st, path, what);
  if (!problem.empty()) throw std::runtime_error(problem);
}

}  // namespace winposix
