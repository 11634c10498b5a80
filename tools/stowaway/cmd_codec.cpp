// stowaway pack / unpack: the run-length block codec on whole files, one block at a time.
#include "storage/acReadBehind.h"
#include "storage/acSFPack.h"
#include "cli_error.h"
#include "commands.h"
#include "file_io.h"

int CmdPack(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "pack IN OUT");
  const std::string& in = ctx.args[0];
  std::shared_ptr<const MappedFile> source = MappedFile::Open(in);
  if (source->size() > 0xFFFFFFFFu)
    throw InputError(in + ": " + std::to_string(source->size()) +
                     " bytes is more than a packed stream can hold (4 GiB - 1)");
  AtomicFile out(ctx.args[1]);
  auto sink = [&out](const std::uint8_t* p, std::size_t n) { out.Write(p, n); };
  out.Stream().WriteDWord(static_cast<std::uint32_t>(source->size()));  // the unpacked length
  PackBlocksBehind(source->data(), source->size(), sink);
  out.Commit();
  return ExitOk;
}

int CmdUnpack(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "unpack IN OUT");
  const std::string& in = ctx.args[0];
  std::shared_ptr<const MappedFile> packed = MappedFile::Open(in);
  if (packed->size() < 4)
    throw InputError(AtOffset(
        in, "packed stream cut off in its 4-byte unpacked length (" + std::to_string(packed->size()) + " bytes)", 0));
  // The output grows block by block as the input backs it; a damaged stream leaves no file.
  AtomicFile out(ctx.args[1]);
  try {
    UnpackBlocksBehind(packed->data() + 4, packed->size() - 4, PackedStreamLength(packed->data(), packed->size()), 4,
                       [&out](const std::uint8_t* p, std::size_t n) { out.Write(p, n); });
  } catch (const ESFPackError& e) {
    throw InputError(in + ": " + e.what());
  }
  out.Commit();
  return ExitOk;
}
