// Why the user's temporary directory cannot be used, on Windows, by the rule the Linux build
// keeps: the directory GetTempPathA names must exist, be a directory and not a link (a
// junction or symbolic link could send the unpacked files elsewhere), belong to the user (or
// to the system or the administrators), and let no one else write to it.
#include "platform/tempdir.h"

#include <memory>

#include "platform/winapi.h"
#include <aclapi.h>
#include <sddl.h>

namespace {

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "an unknown account";
  std::string s = text;
  LocalFree(text);
  return s;
}

// The SIDs that may own or write to a user's temporary directory besides the user.
bool IsTrusted(PSID sid, PSID user) {
  if (EqualSid(sid, user)) return true;
  for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinCreatorOwnerSid}) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    if (CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer)) return true;
  }
  return false;
}

constexpr ACCESS_MASK kWriting =
    FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE | GENERIC_WRITE | GENERIC_ALL;

// Empty when the owner and the access rules keep the directory the user's.
std::string AccessProblem(const std::string& dir) {
  std::unique_ptr<BYTE[]> token;
  HANDLE process = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &process)) return "";
  DWORD size = 0;
  GetTokenInformation(process, TokenUser, nullptr, 0, &size);
  token.reset(new BYTE[size ? size : 1]);
  const bool known = size && GetTokenInformation(process, TokenUser, token.get(), size, &size);
  CloseHandle(process);
  if (!known) return "";
  PSID user = reinterpret_cast<TOKEN_USER*>(token.get())->User.Sid;

  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      GetNamedSecurityInfoA(dir.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                            nullptr, &dacl, nullptr, &descriptor);
  // A file system without security (FAT) has no owner to judge.
  if (status != ERROR_SUCCESS) return "";
  std::string problem;
  if (owner && !IsTrusted(owner, user)) {
    problem = "the temporary directory " + dir + " belongs to another user (" + SidText(owner) + ")";
  } else if (!dacl) {
    problem = "the temporary directory " + dir + " lets everyone write to it (no access rules)";
  } else {
    for (DWORD i = 0; i < dacl->AceCount && problem.empty(); ++i) {
      ACE_HEADER* header = nullptr;
      if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)) || header->AceType != ACCESS_ALLOWED_ACE_TYPE ||
          (header->AceFlags & INHERIT_ONLY_ACE))
        continue;
      auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
      PSID sid = &ace->SidStart;
      if ((ace->Mask & kWriting) && !IsTrusted(sid, user))
        problem = "the temporary directory " + dir + " lets others write to it (" + SidText(sid) + ")";
    }
  }
  LocalFree(descriptor);
  return problem;
}

}  // namespace

std::string TempDirectoryProblem() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length > sizeof path) return "the system names no temporary directory";
  const std::string dir(path, length);
  const DWORD attributes = GetFileAttributesA(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return "the temporary directory " + dir + " does not exist (error " + std::to_string(GetLastError()) + ")";
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "the temporary directory " + dir + " is not a directory";
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "the temporary directory " + dir + " is a link";
  return AccessProblem(dir);
}
