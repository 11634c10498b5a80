// stowaway create / list / extract: "SFP1" containers and the stored files of forms, read in
// place and written block by block, so memory stays bounded whatever the files' sizes.
#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <iomanip>
#include <limits>
#include <map>
#include <ostream>

#include "charset/Cp1252.h"
#include "storage/acFileStorage.h"
#include "storage/acFileWriter.h"
#include "storage/acStoredName.h"
#include "cli_error.h"
#include "commands.h"
#include "container_writer.h"
#include "file_io.h"
#include "platform/hostio.h"
#include "platform/hostpath.h"
#include "printable_name.h"
#include "progress.h"
#include "stored_source.h"
#include "platform/winapi.h"

namespace {

constexpr std::uint64_t kMostStored = std::numeric_limits<std::int32_t>::max();

struct CreateInput {
  std::string name;  // Windows-1252
  std::string path;
};

// The Windows-1252 form of a name given on the command line; a character the code page cannot
// hold is refused rather than turned into '?' (two names could then become one).
std::string NameInCodePage(const std::string& text, const std::string& arg) {
  const std::string utf8 = HostTextToUtf8(text);
  std::string name = Utf8ToCp1252(utf8);
  if (Cp1252ToUtf8(name) != utf8)
    throw InputError(arg + ": the name \"" + utf8 + "\" holds a character that Windows-1252 cannot hold");
  return name;
}

CreateInput ParseCreateArg(const std::string& arg) {
  std::size_t eq = arg.find('=');
  if (eq != std::string::npos && eq > 0 && arg.find_first_of(hostio::kSeparators) > eq)
    return {NameInCodePage(arg.substr(0, eq), arg), arg.substr(eq + 1)};
  std::size_t slash = arg.find_last_of(hostio::kSeparators);
  return {NameInCodePage(slash == std::string::npos ? arg : arg.substr(slash + 1), arg), arg};
}

// The resolved parts of a stored name, or InputError saying why the name cannot be extracted.
std::vector<std::string> NameParts(const std::string& storedName, const std::string& where) {
  std::vector<std::string> parts;
  std::string problem = StoredNameProblem(storedName, parts);
  if (!problem.empty()) throw InputError(where + "stored name \"" + Cp1252ToUtf8(storedName) + "\" " + problem);
  return parts;
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

// A path of the library's (Windows) form as the user gave it.
std::string ShownPath(const std::string& windowsPath) {
  try {
    return WindowsPathToUnix(windowsPath);
  } catch (const std::exception&) {
    return windowsPath;
  }
}

}  // namespace

int CmdCreate(CommandContext& ctx) {
  if (ctx.args.size() < 2)
    throw UsageError("expects OUT and at least one file (usage: stowaway create OUT [NAME=]PATH...)");
  std::vector<CreateInput> inputs;
  for (std::size_t i = 1; i < ctx.args.size(); ++i) inputs.push_back(ParseCreateArg(ctx.args[i]));

  // Every input is checked before anything is written: a container whose names cannot be
  // extracted, or holds one name twice, helps nobody.
  std::map<std::string, std::string> names;  // key -> the argument that gave it
  std::vector<ContainerInput> sources;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const CreateInput& in = inputs[i];
    auto [at, added] = names.emplace(StoredNameKey(NameParts(in.name, "")), ctx.args[i + 1]);
    if (!added)
      throw InputError(ctx.args[i + 1] + ": the stored name \"" + Cp1252ToUtf8(in.name) +
                       "\" is given twice (also by " + at->second + "; Windows does not tell the names apart)");
    const std::shared_ptr<const MappedFile> map = MappedFile::Open(in.path);
    if (map->size() > kMostStored)
      throw InputError(in.path + ": " + std::to_string(map->size()) +
                       " bytes is more than a stored file can hold (2 GiB - 1)");
    total += map->size();
    sources.push_back({in.name, map, {}});
  }
  AtomicFile out(ctx.args[0]);
  std::uint64_t size = 0;
  {
    std::vector<std::uint64_t> sizes;
    for (const ContainerInput& s : sources) sizes.push_back(s.map->size());
    ProgressLine progress(ctx.err, "packing", total);
    size = WriteContainer(out.Stream(), std::move(sources), [&](std::size_t i) { progress.Advance(sizes[i]); });
  }
  if (size > kMostStored)
    throw InputError(ctx.args[0] + ": the container would be " + std::to_string(size) +
                     " bytes, more than a form can carry (2 GiB - 1); nothing written");
  out.Commit();
  return ExitOk;
}

int CmdList(CommandContext& ctx) {
  ExpectArgs(ctx, 1, "list SOURCE");
  StoredSource source = LoadStoredFiles(ctx.args[0], false);
  bool several = false;
  for (const SourceFile& f : source.files) several |= f.storage != source.files.front().storage;
  ctx.out << std::setw(12) << "SIZE" << std::setw(12) << "PACKED"
          << "  NAME\n";
  for (const SourceFile& f : source.files) {
    ctx.out << std::setw(12) << f.file->Size << std::setw(12) << f.file->StoredSize() << "  ";
    if (several) ctx.out << PrintableName(f.storage) << ": ";
    ctx.out << PrintableName(Cp1252ToUtf8(f.file->FileName)) << "\n";
  }
  return ExitOk;
}

int CmdExtract(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "extract SOURCE DIR");
  // Every length and every name is checked before anything is written; a content that turns
  // out to be damaged while it is written fails the extraction, which then removes what it wrote.
  StoredSource source = LoadStoredFiles(ctx.args[0], false);
  std::vector<std::vector<std::string>> targets;
  std::uint64_t total = 0;
  for (const SourceFile& f : source.files) {
    try {
      targets.push_back(NameParts(f.file->FileName, ""));
    } catch (const InputError& e) {
      throw InputError(ctx.args[0] + ": " + e.what() + ", nothing extracted");
    }
    total += static_cast<std::uint64_t>(f.file->ContentSize());
  }
  std::string dir = ctx.args[1];
  while (dir.size() > 1 && std::strchr(hostio::kSeparators, dir.back())) dir.pop_back();
  MakeDirectories(dir);
  std::string base;
  try {
    base = UnixPathToWindows(dir);
  } catch (const std::exception& e) {
    throw InputError(dir + ": " + e.what());
  }
  if (base.empty() || base.back() != '\\') base += '\\';

  // Files are written under temporary names and renamed into place; when one fails, those
  // written before it are removed again, so a failed extraction leaves nothing behind.
  std::vector<std::string> written;
  std::size_t reached = 0;
  ProgressLine progress(ctx.err, "extracting", total);
  try {
    for (; reached < source.files.size(); ++reached) {
      std::string path = PrepareTargetBelow(base, targets[reached], true);
      WriteStoredFileTo(*source.files[reached].file, path);
      written.push_back(path);
      progress.Advance(static_cast<std::uint64_t>(source.files[reached].file->ContentSize()));
    }
  } catch (const std::exception& e) {
    for (const std::string& path : written) DeleteFileA(path.c_str());
    // The directories made on the way go too, deepest first (one that is not empty stays).
    for (std::size_t i = std::min(reached + 1, targets.size()); i-- > 0;) {
      std::string dir = base;
      std::vector<std::string> dirs;
      for (std::size_t p = 0; p + 1 < targets[i].size(); ++p) dirs.push_back(dir += targets[i][p] + "\\");
      for (auto d = dirs.rbegin(); d != dirs.rend(); ++d) RemoveDirectoryA(d->c_str());
    }
    if (const auto* x = dynamic_cast<const EExtractError*>(&e))
      throw InputError(ShownPath(x->Path()) + ": " + x->Reason() + "; nothing extracted");
    throw InputError(ctx.args[0] + ": " + e.what() + "; nothing extracted");
  }
  return ExitOk;
}
