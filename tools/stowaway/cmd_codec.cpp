// stowaway pack / unpack: the run-length block codec on whole files.
#include <vector>

#include "acSFPack.h"
#include "cli_error.h"
#include "commands.h"
#include "file_io.h"

int CmdPack(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "pack IN OUT");
  const std::string& in = ctx.args[0];
  std::vector<std::uint8_t> source = ReadWholeFile(in);
  if (source.size() > 0xFFFFFFFFu)
    throw InputError(in + ": " + std::to_string(source.size()) +
                     " bytes is more than a packed stream can hold (4 GiB - 1)");
  std::vector<std::uint8_t> packed(PackedSizeBound(source.size()));
  packed.resize(PackStream(source.data(), source.size(), packed.data()));
  WriteFileAtomically(ctx.args[1], packed);
  return ExitOk;
}

int CmdUnpack(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "unpack IN OUT");
  const std::string& in = ctx.args[0];
  std::vector<std::uint8_t> packed = ReadWholeFile(in);
  if (packed.size() < 4)
    throw InputError(AtOffset(in, "packed stream cut off in its 4-byte unpacked length (" +
                                      std::to_string(packed.size()) + " bytes)",
                              0));
  std::vector<std::uint8_t> data;
  try {
    data.resize(PackedStreamLength(packed.data(), packed.size()));
    UnpackStream(packed.data(), packed.size(), data.data(), data.size());
  } catch (const ESFPackError& e) {
    throw InputError(in + ": " + e.what());
  }
  WriteFileAtomically(ctx.args[1], data);
  return ExitOk;
}
