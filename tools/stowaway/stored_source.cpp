#include "stored_source.h"

#include <cstring>
#include <set>

#include "core/Exceptions.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "core/ViewStream.h"
#include "storage/acFileStorage.h"
#include "cli_error.h"
#include "file_io.h"
#include "form_scan.h"
#include "platform/execresources.h"

StoredSource::StoredSource() = default;
StoredSource::StoredSource(StoredSource&&) noexcept = default;
StoredSource::~StoredSource() = default;

namespace {

bool StartsWith(const std::uint8_t* bytes, std::size_t size, const char* magic) {
  std::size_t n = std::strlen(magic);
  return size >= n && std::memcmp(bytes, magic, n) == 0;
}

class Loader {
 public:
  Loader(const std::string& path, bool checkContent) : path_(path), checkContent_(checkContent) {}

  StoredSource Run() {
    source_.input = MappedFile::Open(path_);
    const std::uint8_t* bytes = source_.input->data();
    const std::size_t size = source_.input->size();
    if (StartsWith(bytes, size,
                   "\x7F"
                   "ELF") ||
        StartsWith(bytes, size, "MZ")) {
      Executable();
    } else if (StartsWith(bytes, size, "SFP1")) {
      Container(bytes, size, path_, "");
    } else if (StartsWith(bytes, size, "TPF0")) {
      Form(bytes, size, path_);
    } else if (LooksLikeTextForm(reinterpret_cast<const char*>(bytes), size)) {
      TextForm(bytes, size);
    } else if (size < 8) {
      throw InputError(AtOffset(path_, "not a container or form: " + std::to_string(size) + " bytes", 0));
    } else {
      // Anything else can only be a container in the plain form, which has no magic.
      Container(bytes, size, path_, "");
    }
    return std::move(source_);
  }

 private:
  // Reads one container in place: the stored files keep views of the mapped bytes.
  void Container(const std::uint8_t* bytes, std::size_t size, const std::string& where, const std::string& name) {
    auto storage = std::make_unique<TacFileStorage>(nullptr);
    storage->CheckContentOnRead = checkContent_;
    TViewStream stream(bytes, static_cast<int64_t>(size), keeper_ ? keeper_ : source_.input);
    try {
      storage->ReadStoredData(stream);
    } catch (const Exception& e) {
      throw InputError(where + ": " + e.what());
    }
    for (int i = 0; i < storage->Files()->Count(); ++i) source_.files.push_back({name, storage->File(i)});
    source_.storages.push_back(std::move(storage));
  }

  // The stored data of every storage in the form; a form without a storage is an error when
  // required, else skipped.
  void Form(const std::uint8_t* form, std::size_t size, const std::string& where, bool required = true) {
    FormScan scan = ScanForm(form, size, where);
    bool hasStorage = false;
    for (const FormComponent& c : scan.components) hasStorage |= c.componentClass == "TacFileStorage";
    if (!hasStorage) {
      if (!required) return;
      throw InputError(where + ": the form holds no TacFileStorage");
    }
    for (const FormBinaryProperty& p : scan.binaries) {
      if (p.componentClass != "TacFileStorage" || p.property != "StoredData") continue;
      Container(form + p.offset, p.size,
                where + ", StoredData of " + p.componentName + " at form offset " + std::to_string(p.offset),
                p.componentName);
    }
  }

  void TextForm(const std::uint8_t* text, std::size_t size) {
    TViewStream in(text, static_cast<int64_t>(size));
    auto binary = std::make_shared<TMemoryStream>();
    try {
      ObjectTextToBinary(in, *binary);
    } catch (const Exception& e) {
      throw InputError(path_ + ": " + e.what());
    }
    // The stored files refer to the converted form, so it lives as long as they do.
    keeper_ = binary;
    Form(reinterpret_cast<const std::uint8_t*>(binary->Memory()), static_cast<std::size_t>(binary->Size()), path_);
  }

  // The forms among an executable's resources hold its stored files. The resources are views
  // of the executable's mapped file, which the stored files keep alive.
  void Executable() {
    std::vector<ExecutableResource> resources;
    try {
      resources = ReadExecutableResources(path_);
    } catch (const std::runtime_error& e) {
      throw InputError(e.what());
    }
    bool anyForm = false;
    // Entries that share their bytes are read once.
    std::set<std::pair<const char*, std::size_t>> seen;
    for (const ExecutableResource& r : resources) {
      const auto* data = reinterpret_cast<const std::uint8_t*>(r.data.data());
      if (!StartsWith(data, r.data.size(), "TPF0")) continue;
      anyForm = true;
      if (!seen.insert({r.data.data(), r.data.size()}).second) continue;
      keeper_ = r.file;
      Form(data, r.data.size(), path_ + ", resource " + r.name, false);
    }
    if (!anyForm) throw InputError(path_ + ": the executable carries no form");
  }

  const std::string& path_;
  bool checkContent_;
  StoredSource source_;
  std::shared_ptr<const void> keeper_;
};

}  // namespace

StoredSource LoadStoredFiles(const std::string& path, bool checkContent) { return Loader(path, checkContent).Run(); }
