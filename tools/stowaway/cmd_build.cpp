// stowaway build: an installer made from the stub program, a setup program, a start page and
// a few words, without a compiler. The stub's form gets the new title, captions, logo and
// stored files; the settings and a manifest of the stored files go in beside it as resources.
#include <unistd.h>

#include <filesystem>
#include <future>
#include <memory>
#include <set>

#include "Exceptions.h"
#include "FormText.h"
#include "MemoryStream.h"
#include "acFileStorage.h"
#include "acManifest.h"
#include "acSFPack.h"
#include "cli_error.h"
#include "file_io.h"
#include "commands.h"
#include "form_edit.h"
#include "hostio.h"
#include "hostpath.h"
#include "logo_image.h"
#include "execresources.h"
#include "Cp1252.h"
#include "acStoredName.h"
#include "sha256.h"
#include "text_cp1252.h"
#include "winapi.h"

namespace fs = std::filesystem;

namespace {

struct BuildFile {
  std::string name;  // stored name, Windows-1252
  std::string path;
};

struct BuildOptions {
  std::string out;
  std::vector<BuildFile> files;  // the page first, then the setup program, then the others
  std::string setupName, pageName;
  std::string logo, form, stub, title, vendorUrl;
  std::vector<std::pair<std::string, std::string>> captions;  // component, Windows-1252 text
};

BuildFile FileArg(const std::string& arg, const char* option) {
  const std::size_t eq = arg.find('=');
  BuildFile f;
  if (eq != std::string::npos && eq > 0 && arg.find_first_of(hostio::kSeparators) > eq) {
    f.name = arg.substr(0, eq);
    f.path = arg.substr(eq + 1);
  } else {
    f.path = arg;
    f.name = fs::path(arg).filename().string();
  }
  if (f.path.empty()) throw UsageError(std::string(option) + " expects [NAME=]PATH");
  f.name = StrictCp1252(f.name, std::string(option) + " " + arg);
  // A name that cannot be extracted (one that would leave the extraction directory) is refused.
  std::vector<std::string> parts;
  const std::string problem = StoredNameProblem(f.name, parts);
  if (!problem.empty()) throw InputError(arg + ": the stored name \"" + Cp1252ToUtf8(f.name) + "\" " + problem);
  if (f.name.find_first_of("\r\n") != std::string::npos) throw InputError(arg + ": a stored name holds a line break");
  return f;
}

BuildOptions ParseBuildArgs(const std::vector<std::string>& args) {
  BuildOptions o;
  std::vector<BuildFile> others;
  BuildFile setup, page;
  bool haveSetup = false, havePage = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      if (!o.out.empty()) throw UsageError("unexpected argument " + a);
      o.out = a;
      continue;
    }
    if (i + 1 >= args.size()) throw UsageError(a + " expects a value");
    const std::string& v = args[++i];
    if (a == "--setup" && !haveSetup) setup = FileArg(v, "--setup"), haveSetup = true;
    else if (a == "--page" && !havePage) page = FileArg(v, "--page"), havePage = true;
    else if (a == "--file") others.push_back(FileArg(v, "--file"));
    else if (a == "--logo" && o.logo.empty()) o.logo = v;
    else if (a == "--form" && o.form.empty()) o.form = v;
    else if (a == "--stub" && o.stub.empty()) o.stub = v;
    else if (a == "--title") o.title = StrictCp1252(v, "--title");
    else if (a == "--vendor-url") o.vendorUrl = StrictCp1252(v, "--vendor-url");
    else if (a == "--caption") {
      const std::size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) throw UsageError("--caption expects NAME=TEXT");
      o.captions.push_back({v.substr(0, eq), StrictCp1252(v.substr(eq + 1), "--caption " + v.substr(0, eq))});
    } else
      throw UsageError("unknown or repeated option " + a);
  }
  if (o.out.empty() || !haveSetup) throw UsageError("expects OUT and --setup FILE");
  if (havePage) o.files.push_back(page), o.pageName = page.name;
  o.files.push_back(setup);
  o.setupName = setup.name;
  o.files.insert(o.files.end(), others.begin(), others.end());
  std::set<std::string> seen;
  for (const BuildFile& f : o.files) {
    std::string key;
    for (char c : f.name) key += c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!seen.insert(key).second) throw InputError(f.path + ": a second file is stored as " + f.name);
  }
  return o;
}

fs::path DefaultStub() {
  std::error_code ec;
  char module[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length > 0 && length < sizeof module) {
    // The stub has the tool's own suffix (".exe" on Windows, none on Linux).
    const fs::path self = WindowsPathToUnix(module);
    const std::string stubName = "installer_stub" + self.extension().string();
    for (const fs::path& candidate : {self.parent_path() / "../lib/stowaway" / stubName,
                                      self.parent_path() / "../app" / stubName})
      if (fs::is_regular_file(candidate, ec)) return candidate.lexically_normal();
  }
  throw InputError("no installer stub found beside the tool; name one with --stub");
}

// The stub's resources; its form must be an installation window with a file storage.
std::string StubForm(const std::string& stub) {
  std::vector<ExecutableResource> resources;
  try {
    resources = ReadExecutableResources(stub);
  } catch (const std::runtime_error& e) {
    throw InputError(stub + ": not a Stowaway installer stub (" + e.what() + ")");
  }
  for (const ExecutableResource& r : resources)
    if (r.type == 10 && r.name == "TFORM1") return std::string(r.data);
  throw InputError(stub + ": not a Stowaway installer stub (it carries no installation window)");
}

std::string TextFormToBinary(const std::string& path) {
  const std::shared_ptr<const MappedFile> text = MappedFile::Open(path);
  TMemoryStream in(std::string(reinterpret_cast<const char*>(text->data()), text->size())), out;
  try {
    ObjectTextToBinary(in, out);
  } catch (const Exception& e) {
    throw InputError(path + ": " + e.what());
  }
  return out.Bytes();
}

struct Mapped {
  BuildFile file;
  std::shared_ptr<const MappedFile> map;
};

// Room enough for the "SFP1" container of the files.
std::size_t ContainerBound(const std::vector<Mapped>& files) {
  std::size_t bound = 8;
  for (const Mapped& m : files) bound += 8 + m.file.name.size() + PackedSizeBound(m.map->size());
  return bound;
}

// Writes the "SFP1" container of the files at `out` (ContainerBound bytes), each file packed
// straight into it; returns its size.
std::size_t WriteContainer(const std::vector<Mapped>& files, std::uint8_t* out) {
  std::size_t at = 0;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at++] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  };
  put32(static_cast<std::uint32_t>(kStoredDataMagic));
  put32(static_cast<std::uint32_t>(files.size()));
  for (const Mapped& m : files) {
    put32(static_cast<std::uint32_t>(m.file.name.size()));
    std::copy(m.file.name.begin(), m.file.name.end(), out + at);
    at += m.file.name.size();
    const std::size_t lengthAt = at;
    at += 4;
    const std::size_t packed = PackStream(m.map->data(), m.map->size(), out + at);
    const std::size_t end = at + packed;
    at = lengthAt;
    put32(static_cast<std::uint32_t>(packed));
    at = end;
  }
  if (at > 0x7FFFFFFF) throw InputError("the stored files take more than a container can hold (2 GiB - 1)");
  return at;
}

void Update(HANDLE h, const char* name, const char* data, std::size_t size, const std::string& out) {
  if (!UpdateResourceA(h, RT_RCDATA, name, 0, const_cast<char*>(data), static_cast<DWORD>(size))) {
    const DWORD err = GetLastError();
    EndUpdateResourceA(h, TRUE);
    throw InputError(out + ": cannot set the resource " + name + " (error " + std::to_string(err) + ")");
  }
}

int Build(CommandContext& ctx) {
  const BuildOptions o = ParseBuildArgs(ctx.args);
  const std::string stub = o.stub.empty() ? DefaultStub().string() : o.stub;
  const std::string stubForm = StubForm(stub);

  // The window: the stub's own or the one given, with the new words and picture.
  const std::string formBytes = o.form.empty() ? stubForm : TextFormToBinary(o.form);
  FormNode root = ParseBinaryForm(formBytes, o.form.empty() ? stub : o.form);
  const std::string formName = o.form.empty() ? stub : o.form;
  FormNode* storage = root.FindClass("TacFileStorage");
  if (root.componentClass != "TForm1" || !storage)
    throw InputError(formName + ": the form is no installation window (TForm1 with a TacFileStorage)");
  if (!o.title.empty()) root.Set("Caption", StringValue(o.title));
  for (const auto& [component, text] : o.captions) {
    FormNode* c = root.Find(component);
    if (!c || c == &root) throw InputError(formName + ": the window has no component " + component + " for --caption");
    c->Set("Caption", StringValue(text));
  }
  if (!o.logo.empty()) {
    FormNode* image = root.Find("Image2");
    if (!image) image = root.FindClass("TImage");
    if (!image) throw InputError(formName + ": the window has no image for --logo");
    const std::string bmp = LogoBitmap(o.logo);
    std::string data = "\x07TBitmap";
    for (int i = 0; i < 4; ++i) data += static_cast<char>((bmp.size() >> (8 * i)) & 0xFF);
    image->Set("Picture.Data", BinaryValueHeader(static_cast<std::uint32_t>(data.size() + bmp.size())) + data + bmp);
  }

  // The stored files, mapped; their manifest is computed on a second thread while they are
  // packed straight into the form, in the room reserved for the storage's StoredData.
  std::vector<Mapped> files;
  for (const BuildFile& f : o.files) {
    Mapped m{f, nullptr};
    m.map = MappedFile::Open(f.path);
    if (m.map->size() > 0x7FFFFFFF)
      throw InputError(f.path + ": " + std::to_string(m.map->size()) + " bytes is more than a stored file can hold (2 GiB - 1)");
    files.push_back(std::move(m));
  }
  auto digests = std::async(std::launch::async, [&files] {
    std::vector<ManifestEntry> manifest;
    for (const Mapped& m : files) manifest.push_back({m.file.name, m.map->size(), Sha256::Hex(m.map->data(), m.map->size())});
    return manifest;
  });
  // The form around a one-byte placeholder, then the form with the container in its place,
  // in a buffer that is not cleared first (the packer fills it).
  storage->Set("StoredData", BinaryValueHeader(0), 1);
  std::size_t at = 0;
  const std::string around = WriteBinaryForm(root, &at);
  const std::size_t bound = ContainerBound(files), tail = around.size() - at - 1;
  std::unique_ptr<char[]> form(new char[at + bound + tail]);
  std::copy(around.begin(), around.begin() + static_cast<std::ptrdiff_t>(at), form.get());
  const std::size_t size = WriteContainer(files, reinterpret_cast<std::uint8_t*>(form.get() + at));
  std::copy(around.end() - static_cast<std::ptrdiff_t>(tail), around.end(), form.get() + at + size);
  for (int i = 0; i < 4; ++i) form[at - 4 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  const std::size_t formSize = at + size + tail;
  const std::vector<ManifestEntry> manifest = digests.get();

  // A copy of the stub under a temporary name, its resources replaced, renamed into place.
  const fs::path out = fs::absolute(o.out);
  const std::string temp = out.string() + ".build-" + std::to_string(::getpid());
  try {
    fs::copy_file(stub, temp, fs::copy_options::overwrite_existing);
    fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    HANDLE h = BeginUpdateResourceA(UnixPathToWindows(temp).c_str(), FALSE);
    if (!h) throw InputError(temp + ": cannot update the resources (error " + std::to_string(GetLastError()) + ")");
    const std::string manifestText = FormatManifest(manifest);
    Update(h, "TFORM1", form.get(), formSize, o.out);
    Update(h, "SETUPFILENAME", o.setupName.data(), o.setupName.size(), o.out);
    if (!o.pageName.empty()) Update(h, "STARTPAGEFILENAME", o.pageName.data(), o.pageName.size(), o.out);
    if (!o.vendorUrl.empty()) Update(h, "VENDORHOMEPAGE", o.vendorUrl.data(), o.vendorUrl.size(), o.out);
    Update(h, kManifestResourceName, manifestText.data(), manifestText.size(), o.out);
    if (!EndUpdateResourceA(h, FALSE))
      throw InputError(o.out + ": cannot write the resources (error " + std::to_string(GetLastError()) + ")");
    fs::rename(temp, out);
  } catch (...) {
    std::error_code ec;
    fs::remove(temp, ec);
    throw;
  }
  return ExitOk;
}

}  // namespace

int CmdBuild(CommandContext& ctx) {
  try {
    return Build(ctx);
  } catch (const UsageError&) {
    throw;
  } catch (const InputError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // Failures of the file system and of the codec, as one line naming what failed.
    throw InputError(e.what());
  }
}
