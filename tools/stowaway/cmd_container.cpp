// stowaway create / list / extract: "SFP1" containers and the stored files of forms.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iomanip>
#include <ostream>

#include "Cp1252.h"
#include "MemoryStream.h"
#include "acFileStorage.h"
#include "cli_error.h"
#include "commands.h"
#include "file_io.h"
#include "hostio.h"
#include "progress.h"
#include "safe_name.h"
#include "stored_source.h"

namespace {

struct CreateInput {
  std::string name;  // Windows-1252
  std::string path;
};

CreateInput ParseCreateArg(const std::string& arg) {
  std::size_t eq = arg.find('=');
  if (eq != std::string::npos && eq > 0 && arg.find_first_of(hostio::kSeparators) > eq)
    return {Utf8ToCp1252(arg.substr(0, eq)), arg.substr(eq + 1)};
  std::size_t slash = arg.find_last_of(hostio::kSeparators);
  return {Utf8ToCp1252(slash == std::string::npos ? arg : arg.substr(slash + 1)), arg};
}

void MakeDirectories(const std::string& path) {
  std::string sofar;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find_first_of(hostio::kSeparators, start);
    if (slash == std::string::npos) slash = path.size();
    sofar = path.substr(0, slash);
    struct stat existing {};
    // (A drive such as "C:" cannot be made; it exists.)
    if (!sofar.empty() && hostio::MakeDirectory(sofar) != 0 && errno != EEXIST &&
        !(::stat(sofar.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)))
      throw InputError(sofar + ": cannot create directory: " + std::strerror(errno));
    start = slash + 1;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) throw InputError(path + ": is not a directory");
}

}  // namespace

int CmdCreate(CommandContext& ctx) {
  if (ctx.args.size() < 2) throw UsageError("expects OUT and at least one file (usage: stowaway create OUT [NAME=]PATH...)");
  std::vector<CreateInput> inputs;
  for (std::size_t i = 1; i < ctx.args.size(); ++i) inputs.push_back(ParseCreateArg(ctx.args[i]));

  std::vector<std::unique_ptr<TStoredFile>> files;
  std::uint64_t total = 0;
  for (const CreateInput& in : inputs) {
    SafeNameParts(in.name);  // a container whose names cannot be extracted helps nobody
    std::vector<std::uint8_t> bytes = ReadWholeFile(in.path);
    if (bytes.size() > 0x7FFFFFFF)
      throw InputError(in.path + ": " + std::to_string(bytes.size()) + " bytes is more than a stored file can hold (2 GiB - 1)");
    auto file = std::make_unique<TStoredFile>(nullptr);
    file->FileName = in.name;
    file->SetContent(std::string(bytes.begin(), bytes.end()));
    total += bytes.size();
    files.push_back(std::move(file));
  }
  TMemoryStream out;
  out.WriteDWord(static_cast<std::uint32_t>(kStoredDataMagic));
  out.WriteDWord(static_cast<std::uint32_t>(files.size()));
  {
    ProgressLine progress(ctx.err, "packing", total);
    for (auto& f : files) {
      f->WriteToStream(out);
      progress.Advance(static_cast<std::uint64_t>(f->Size));
    }
  }
  WriteFileAtomically(ctx.args[0], reinterpret_cast<const std::uint8_t*>(out.Memory()),
                      static_cast<std::size_t>(out.Size()));
  return ExitOk;
}

int CmdList(CommandContext& ctx) {
  ExpectArgs(ctx, 1, "list SOURCE");
  std::vector<SourceFile> files = LoadStoredFiles(ctx.args[0]);
  bool several = false;
  for (const SourceFile& f : files) several |= f.storage != files.front().storage;
  ctx.out << std::setw(12) << "SIZE" << std::setw(12) << "PACKED" << "  NAME\n";
  for (const SourceFile& f : files) {
    ctx.out << std::setw(12) << f.content.size() << std::setw(12) << f.packedSize << "  ";
    if (several) ctx.out << f.storage << ": ";
    ctx.out << Cp1252ToUtf8(f.name) << "\n";
  }
  return ExitOk;
}

int CmdExtract(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "extract SOURCE DIR");
  std::vector<SourceFile> files = LoadStoredFiles(ctx.args[0]);
  // Every name is checked before anything is written.
  std::vector<std::vector<std::string>> targets;
  std::uint64_t total = 0;
  for (const SourceFile& f : files) {
    try {
      targets.push_back(SafeNameParts(f.name));
    } catch (const InputError& e) {
      throw InputError(ctx.args[0] + ": " + e.what() + ", nothing extracted");
    }
    total += f.content.size();
  }
  std::string dir = ctx.args[1];
  while (dir.size() > 1 && std::strchr(hostio::kSeparators, dir.back())) dir.pop_back();
  MakeDirectories(dir);
  ProgressLine progress(ctx.err, "extracting", total);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string path = dir;
    for (std::size_t p = 0; p < targets[i].size(); ++p) {
      path += "/" + targets[i][p];
      if (p + 1 < targets[i].size()) MakeDirectories(path);
    }
    const std::string& c = files[i].content;
    WriteFileAtomically(path, reinterpret_cast<const std::uint8_t*>(c.data()), c.size());
    progress.Advance(c.size());
  }
  return ExitOk;
}
