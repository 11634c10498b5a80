#include "commands.h"

#include <ostream>

#include "cli_error.h"
#include "printable_name.h"

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"pack", "pack IN OUT",
       "Writes the packed stream of IN to OUT: its unpacked length, then the framed\n"
       "run-length blocks.",
       CmdPack},
      {"unpack", "unpack IN OUT", "Reads the packed stream IN and writes the bytes it holds to OUT.", CmdUnpack},
      {"create", "create OUT [NAME=]PATH...",
       "Writes an \"SFP1\" container to OUT holding the files in the order given. NAME is the\n"
       "stored name (it may hold backslashes); it defaults to the file's base name.",
       CmdCreate},
      {"list", "list SOURCE",
       "Prints each stored file's size, packed size and name. SOURCE is a container (packed or\n"
       "plain), a binary or text form holding TacFileStorage components, or an installer\n"
       "executable that carries such a form.",
       CmdList},
      {"extract", "extract SOURCE DIR",
       "Writes the stored files of SOURCE below DIR (created when missing). Names that would\n"
       "leave DIR (absolute paths, drive letters, \"..\", empty parts, NUL) are refused and\n"
       "then nothing is written.",
       CmdExtract},
      {"form", "form IN OUT", "Converts a form between its binary (TPF0) and text forms; the direction follows IN.",
       CmdForm},
      {"reg", "reg query KEY [VALUE] | set KEY VALUE DATA | export FILE [KEY] | import FILE",
       "Reads and writes the registry store that the installer reads (in the prefix named by\n"
       "STOWAWAY_PREFIX, else the user's data directory). KEY starts with its root, e.g.\n"
       "HKEY_CURRENT_USER\\Software\\X or HKCU\\Software\\X; VALUE @ is the key's default value.\n"
       "set stores a string (REG_SZ); export and import use the REGEDIT4 text format.",
       CmdReg},
      {"build",
       "build OUT --setup [NAME=]FILE [--page [NAME=]FILE] [--file [NAME=]PATH]... [--logo IMAGE] [--title TEXT] "
       "[--caption NAME=TEXT]... [--vendor-url URL] [--form TEXTFORM] [--stub STUB]",
       "Makes an installer OUT from the installer stub (the one installed with the tool, or\n"
       "STUB): it carries the start page, the setup program and the other files (stored under\n"
       "their file names or NAME), and starts the setup program once the page has loaded.\n"
       "--title, --caption (by component name, e.g. Label3) and --logo (PNG, JPEG or BMP)\n"
       "replace the window's words and picture, --form a whole text form (as `form` writes it),\n"
       "--vendor-url the address the logo opens. Texts are UTF-8 and must fit Windows-1252.\n"
       "A manifest of every file's SHA-256 goes in too: the installer refuses to start a\n"
       "setup program whose files differ from it. OUT is written only when all succeeded.",
       CmdBuild},
      {"verify", "verify INSTALLER",
       "Reads every resource, the form and the stored files of an installer made by build,\n"
       "unpacks each file and checks it against the manifest: exit 0 when all is whole, 1\n"
       "naming what is not.",
       CmdVerify},
      {"sysinfo", "sysinfo",
       "Prints every published property of the system-information component, one line each as\n"
       "Name = value in declaration order (enumerations by identifier, texts quoted as in the\n"
       "text form of forms).",
       CmdSysinfo},
  };
  return commands;
}

void ExpectArgs(const CommandContext& ctx, std::size_t count, const char* synopsis) {
  if (ctx.args.size() != count)
    throw UsageError(std::string("expects ") + std::to_string(count) + " argument" + (count == 1 ? "" : "s") +
                     ", got " + std::to_string(ctx.args.size()) + " (usage: stowaway " + synopsis + ")");
}

namespace {

void PrintOverview(std::ostream& out) {
  out << "usage: stowaway COMMAND ARGS...\n"
         "       stowaway COMMAND --help\n\n"
         "Commands:\n";
  for (const Command& c : Commands()) out << "  " << c.synopsis << "\n";
  out << "\nExit status: 0 on success, 1 on bad input, 2 on wrong usage.\n";
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

}  // namespace

int RunStowaway(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintOverview(err);
    return ExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(out);
    return ExitOk;
  }
  const Command* command = nullptr;
  for (const Command& c : Commands())
    if (args[0] == c.name) command = &c;
  if (!command) {
    err << "stowaway: unknown command '" << PrintableName(args[0]) << "' (try stowaway --help)\n";
    return ExitUsage;
  }
  CommandContext ctx{{args.begin() + 1, args.end()}, out, err};
  if (WantsHelp(ctx.args)) {
    out << "usage: stowaway " << command->synopsis << "\n\n" << command->help << "\n";
    return ExitOk;
  }
  try {
    return command->run(ctx);
  } catch (const UsageError& e) {
    // Messages quote names and paths from the input: one line, nothing a terminal obeys.
    err << "stowaway " << command->name << ": " << PrintableName(e.what()) << "\n";
    return ExitUsage;
  } catch (const InputError& e) {
    err << "stowaway " << command->name << ": " << PrintableName(e.what()) << "\n";
    return ExitBadInput;
  } catch (const std::bad_alloc&) {
    err << "stowaway " << command->name << ": out of memory\n";
    return ExitBadInput;
  }
}
