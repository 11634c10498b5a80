// The stowaway tool's commands and the dispatcher that runs them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct CommandContext {
  std::vector<std::string> args;  // the command's own arguments, without its name
  std::ostream& out;
  std::ostream& err;
};

struct Command {
  const char* name;
  const char* synopsis;  // "pack IN OUT"
  const char* help;      // what the command does, a few lines
  int (*run)(CommandContext&);
};

// All commands, in the order the help lists them.
const std::vector<Command>& Commands();

// Runs the tool with argv[1..]; returns the exit status. Every error ends as one line on err.
int RunStowaway(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The codec commands.
int CmdPack(CommandContext& ctx);
int CmdUnpack(CommandContext& ctx);
// The container and form commands.
int CmdCreate(CommandContext& ctx);
int CmdList(CommandContext& ctx);
int CmdExtract(CommandContext& ctx);
int CmdForm(CommandContext& ctx);
// Installers: making one from the stub, and proving one whole.
int CmdBuild(CommandContext& ctx);
int CmdVerify(CommandContext& ctx);
// The registry store.
int CmdReg(CommandContext& ctx);
// The system-information component.
int CmdSysinfo(CommandContext& ctx);

// Throws UsageError unless the command got exactly `count` arguments.
void ExpectArgs(const CommandContext& ctx, std::size_t count, const char* synopsis);
