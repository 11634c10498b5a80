#include "tool_build.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

bool RunStowawayBuild(const std::string& out, const std::vector<std::string>& args,
                      const std::filesystem::path& toolPrefix) {
  std::vector<std::string> all = {STOWAWAY_TOOL, "build", out, "--stub", STOWAWAY_STUB};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string prefix = "STOWAWAY_PREFIX=" + toolPrefix.string();
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  envp.push_back(const_cast<char*>(prefix.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  int status = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0) waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
