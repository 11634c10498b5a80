// stowaway form: converts a form between its binary ("TPF0") and text forms.
#include "Exceptions.h"
#include "FormText.h"
#include "MemoryStream.h"
#include "cli_error.h"
#include "commands.h"
#include "file_io.h"
#include "stored_source.h"

int CmdForm(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "form IN OUT");
  const std::string& path = ctx.args[0];
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  TMemoryStream in(std::string(bytes.begin(), bytes.end()));
  TMemoryStream out;
  bool binary = bytes.size() >= 4 && std::string(bytes.begin(), bytes.begin() + 4) == "TPF0";
  if (!binary && !LooksLikeTextForm(bytes.data(), bytes.size()))
    throw InputError(AtOffset(path, "neither a binary form (TPF0) nor a text form (object ...)", 0));
  try {
    if (binary)
      ObjectBinaryToText(in, out);
    else
      ObjectTextToBinary(in, out);
  } catch (const Exception& e) {
    throw InputError(path + ": " + e.what());
  }
  WriteFileAtomically(ctx.args[1], reinterpret_cast<const std::uint8_t*>(out.Memory()),
                      static_cast<std::size_t>(out.Size()));
  return ExitOk;
}
