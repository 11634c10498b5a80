// Runs `stowaway build` for the end-to-end tests: the tool with its own prefix, waited for.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Runs STOWAWAY_TOOL with "build OUT --stub STOWAWAY_STUB" and then args, with STOWAWAY_PREFIX
// set to toolPrefix; true when it exited with status 0.
bool RunStowawayBuild(const std::string& out, const std::vector<std::string>& args,
                      const std::filesystem::path& toolPrefix);
