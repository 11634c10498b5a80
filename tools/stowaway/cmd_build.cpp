// stowaway build: an installer made from the stub program, a setup program, a start page and
// a few words, without a compiler. The stub's form gets the new title, captions, logo and
// stored files; the settings and a manifest of the stored files go in beside it as resources.
#include <unistd.h>

#include <filesystem>
#include <future>
#include <memory>
#include <set>

#include "core/Exceptions.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "storage/acFileStorage.h"
#include "storage/acManifest.h"
#include "cli_error.h"
#include "file_io.h"
#include "commands.h"
#include "container_writer.h"
#include "sink_stream.h"
#include "form_edit.h"
#include "platform/hostio.h"
#include "platform/hostpath.h"
#include "logo_image.h"
#include "platform/execresources.h"
#include "platform/producedresource.h"
#include "charset/Cp1252.h"
#include "storage/acStoredName.h"
#include "platform/sha256.h"
#include "text_cp1252.h"
#include "platform/winapi.h"

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
    if (a == "--setup" && !haveSetup)
      setup = FileArg(v, "--setup"), haveSetup = true;
    else if (a == "--page" && !havePage)
      page = FileArg(v, "--page"), havePage = true;
    else if (a == "--file")
      others.push_back(FileArg(v, "--file"));
    else if (a == "--logo" && o.logo.empty())
      o.logo = v;
    else if (a == "--form" && o.form.empty())
      o.form = v;
    else if (a == "--stub" && o.stub.empty())
      o.stub = v;
    else if (a == "--title")
      o.title = StrictCp1252(v, "--title");
    else if (a == "--vendor-url")
      o.vendorUrl = StrictCp1252(v, "--vendor-url");
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
    for (const fs::path& candidate :
         {self.parent_path() / "../lib/stowaway" / stubName, self.parent_path() / "../app" / stubName})
      if (fs::is_regular_file(candidate, ec)) return candidate.lexically_normal();
  }
  throw InputError("no installer stub found beside the tool; name one with --stub");
}

struct StubFormResource {
  std::string bytes;
  WORD language = 0;
};

// The stub's form; it must be an installation window with a file storage.
StubFormResource StubForm(const std::string& stub) {
  std::vector<ExecutableResource> resources;
  try {
    resources = ReadExecutableResources(stub);
  } catch (const std::runtime_error& e) {
    throw InputError(stub + ": not a Stowaway installer stub (" + e.what() + ")");
  }
  for (const ExecutableResource& r : resources)
    if (r.type == 10 && r.name == "TFORM1") return {std::string(r.data), r.language};
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

[[noreturn]] void UpdateFailed(HANDLE h, const char* name, const std::string& out) {
  const DWORD err = GetLastError();
  EndUpdateResourceA(h, TRUE);
  throw InputError(out + ": cannot set the resource " + name + " (error " + std::to_string(err) + ")");
}

void Update(HANDLE h, const char* name, WORD language, const char* data, std::size_t size, const std::string& out) {
  if (!UpdateResourceA(h, RT_RCDATA, name, language, const_cast<char*>(data), static_cast<DWORD>(size)))
    UpdateFailed(h, name, out);
}

// A resource whose bytes the producer makes (when the file is written, or at once); a failure
// of the producer is thrown as it was raised.
void Produced(HANDLE h, const char* name, WORD language, const ResourceProducer& producer,
              const std::exception_ptr& failure, const std::string& out) {
  if (UpdateResourceProducedA(h, RT_RCDATA, name, language, producer)) return;
  if (failure) {
    EndUpdateResourceA(h, TRUE);
    std::rethrow_exception(failure);
  }
  UpdateFailed(h, name, out);
}

int Build(CommandContext& ctx) {
  const BuildOptions o = ParseBuildArgs(ctx.args);
  {
    const fs::path out = fs::absolute(o.out);
    std::error_code ec;
    if (fs::is_directory(out, ec)) throw InputError(o.out + ": is a directory");
    if (!fs::is_directory(out.parent_path(), ec))
      throw InputError(o.out + ": there is no directory " + out.parent_path().string() + " to write it in");
  }
  // The digests' crypto library loads and starts up on a thread of its own while the stub is
  // read and copied.
  auto digestsMade = std::async(std::launch::async, [n = o.files.size()] { return std::vector<Sha256>(n); });
  const std::string stub = o.stub.empty() ? DefaultStub().string() : o.stub;
  const StubFormResource stubForm = StubForm(stub);

  // The window: the stub's own or the one given, with the new words and picture.
  const std::string formBytes = o.form.empty() ? stubForm.bytes : TextFormToBinary(o.form);
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
      throw InputError(f.path + ": " + std::to_string(m.map->size()) +
                       " bytes is more than a stored file can hold (2 GiB - 1)");
    files.push_back(std::move(m));
  }
  // Each file's digest is made as it is packed, from the same bytes (on the packing helper's
  // thread for a large file), so the content is read once.
  std::vector<Sha256> digests = digestsMade.get();
  // The form around a one-byte placeholder for StoredData, written with the container in its
  // place while the resources are written: the container goes to the file block by block,
  // never held whole.
  storage->Set("StoredData", BinaryValueHeader(0), 1);
  std::size_t at = 0;
  const std::string around = WriteBinaryForm(root, &at);
  std::exception_ptr failure;
  const ResourceProducer writeForm = [&](ResourceSink& sink) {
    try {
      sink.Write(around.data(), at);
      TSinkStream stream(sink);
      std::vector<ContainerInput> inputs;
      for (std::size_t i = 0; i < files.size(); ++i)
        inputs.push_back({files[i].file.name, files[i].map,
                          [&digest = digests[i]](const std::uint8_t* p, std::size_t n) { digest.Update(p, n); }});
      const std::uint64_t size = WriteContainer(stream, std::move(inputs));
      if (size > 0x7FFFFFFF) throw InputError("the stored files take more than a container can hold (2 GiB - 1)");
      sink.Write(around.data() + at + 1, around.size() - at - 1);
      std::uint8_t length[4];
      for (int i = 0; i < 4; ++i) length[i] = static_cast<std::uint8_t>((size >> (8 * i)) & 0xFF);
      sink.Patch(at - 4, length, 4);
    } catch (...) {
      failure = std::current_exception();
      throw;
    }
  };
  // The manifest is produced after the form, whose packing made its digests.
  const ResourceProducer writeManifest = [&](ResourceSink& sink) {
    try {
      std::vector<ManifestEntry> manifest;
      for (std::size_t i = 0; i < files.size(); ++i)
        manifest.push_back({files[i].file.name, files[i].map->size(), Sha256::Hex(digests[i].Final())});
      const std::string text = FormatManifest(manifest);
      sink.Write(text.data(), text.size());
    } catch (...) {
      failure = std::current_exception();
      throw;
    }
  };

  // A copy of the stub under a temporary name, its resources replaced, renamed into place.
  const fs::path out = fs::absolute(o.out);
  const std::string temp = out.string() + ".build-" + std::to_string(::getpid());
  try {
    fs::copy_file(stub, temp, fs::copy_options::overwrite_existing);
    fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    HANDLE h = BeginUpdateResourceA(UnixPathToWindows(temp).c_str(), FALSE);
    if (!h) throw InputError(temp + ": cannot update the resources (error " + std::to_string(GetLastError()) + ")");
    // The new resources take the language of the stub's form, so that each replaces the
    // stub's own instead of standing beside it.
    const WORD language = stubForm.language;
    Produced(h, "TFORM1", language, writeForm, failure, o.out);
    Update(h, "SETUPFILENAME", language, o.setupName.data(), o.setupName.size(), o.out);
    if (!o.pageName.empty()) Update(h, "STARTPAGEFILENAME", language, o.pageName.data(), o.pageName.size(), o.out);
    if (!o.vendorUrl.empty()) Update(h, "VENDORHOMEPAGE", language, o.vendorUrl.data(), o.vendorUrl.size(), o.out);
    Produced(h, kManifestResourceName, language, writeManifest, failure, o.out);
    if (!EndUpdateResourceA(h, FALSE)) {
      if (failure) std::rethrow_exception(failure);
      throw InputError(o.out + ": cannot write the resources (error " + std::to_string(GetLastError()) + ")");
    }
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
