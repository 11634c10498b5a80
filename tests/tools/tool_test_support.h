// Runs the stowaway tool in-process or as a child process, in a scratch directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ToolResult {
  int status;
  std::string out;
  std::string err;
  long maxRssKb = 0;  // the child's peak resident set (RunToolProcess only)
};

// Runs RunStowaway in this process.
ToolResult RunTool(const std::vector<std::string>& args);

// Runs the real executable and waits for it.
ToolResult RunToolProcess(const std::vector<std::string>& args);

// A fresh directory removed at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);
