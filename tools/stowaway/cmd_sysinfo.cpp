// stowaway sysinfo: every published property of the system-information component.
#include <sstream>

#include "charset/Cp1252.h"
#include "cli_error.h"
#include "sysinfo/acPublishedProperties.h"
#include "sysinfo/acSystemInfo.h"
#include "commands.h"

int CmdSysinfo(CommandContext& ctx) {
  ExpectArgs(ctx, 0, "sysinfo");
  RegisterSystemInfoClasses();
  TacSystemInfo info(nullptr);
  info.SetName("acSystemInfo1");
  std::ostringstream listing;
  WritePublishedProperties(info, listing);
  // Texts are Windows-1252 inside; the terminal wants UTF-8.
  ctx.out << Cp1252ToUtf8(listing.str());
  return ExitOk;
}
