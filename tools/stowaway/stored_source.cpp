#include "stored_source.h"

#include <cstring>

#include "Exceptions.h"
#include "FormText.h"
#include "MemoryStream.h"
#include "acFileStorage.h"
#include "cli_error.h"
#include "file_io.h"
#include "form_scan.h"
#include "execresources.h"

namespace {

bool StartsWith(const std::vector<std::uint8_t>& bytes, const char* magic) {
  std::size_t n = std::strlen(magic);
  return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::vector<std::uint8_t> TextFormToBinary(const std::vector<std::uint8_t>& text, const std::string& path) {
  TMemoryStream in(std::string(text.begin(), text.end()));
  TMemoryStream out;
  try {
    ObjectTextToBinary(in, out);
  } catch (const Exception& e) {
    throw InputError(path + ": " + e.what());
  }
  std::string bytes = out.Bytes();
  return {bytes.begin(), bytes.end()};
}

std::vector<SourceFile> FilesOfForm(const std::vector<std::uint8_t>& form, const std::string& path) {
  FormScan scan = ScanForm(form, path);
  bool hasStorage = false;
  for (const FormComponent& c : scan.components) hasStorage |= c.componentClass == "TacFileStorage";
  if (!hasStorage) throw InputError(path + ": the form holds no TacFileStorage");
  std::vector<SourceFile> files;
  for (const FormBinaryProperty& p : scan.binaries) {
    if (p.componentClass != "TacFileStorage" || p.property != "StoredData") continue;
    std::vector<SourceFile> some = ReadContainer(
        p.data, path + ", StoredData of " + p.componentName + " at form offset " + std::to_string(p.offset),
        p.componentName);
    files.insert(files.end(), std::make_move_iterator(some.begin()), std::make_move_iterator(some.end()));
  }
  return files;
}

}  // namespace

bool LooksLikeTextForm(const std::vector<std::uint8_t>& bytes) {
  std::size_t i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
  for (const char* word : {"object ", "inherited ", "inline "}) {
    std::size_t n = std::strlen(word);
    if (bytes.size() - i >= n && std::memcmp(bytes.data() + i, word, n) == 0) return true;
  }
  return false;
}

std::vector<SourceFile> ReadContainer(const std::vector<std::uint8_t>& bytes, const std::string& where,
                                      const std::string& storageName) {
  TacFileStorage storage(nullptr);
  TMemoryStream stream(std::string(bytes.begin(), bytes.end()));
  try {
    storage.ReadStoredData(stream);
  } catch (const Exception& e) {
    throw InputError(where + ": " + e.what());
  }
  // The reader has checked every length; walk the records once more for the stored sizes.
  std::vector<SourceFile> files;
  std::size_t at = 8;
  for (int i = 0; i < storage.Files()->Count(); ++i) {
    TStoredFile* f = storage.File(i);
    at += 4 + f->FileName.size();
    std::uint32_t stored = Le32(bytes, at);
    at += 4 + stored;
    files.push_back({storageName, f->FileName, f->Content(), stored});
  }
  return files;
}

namespace {

// The forms among an executable's resources hold its stored files.
std::vector<SourceFile> FilesOfExecutable(const std::string& path) {
  std::vector<ExecutableResource> resources;
  try {
    resources = ReadExecutableResources(path);
  } catch (const std::runtime_error& e) {
    throw InputError(path + ": " + e.what());
  }
  std::vector<SourceFile> files;
  bool anyForm = false;
  for (const ExecutableResource& r : resources) {
    if (r.data.compare(0, 4, "TPF0") != 0) continue;
    anyForm = true;
    std::vector<std::uint8_t> form(r.data.begin(), r.data.end());
    FormScan scan = ScanForm(form, path + ", resource " + r.name);
    bool hasStorage = false;
    for (const FormComponent& c : scan.components) hasStorage |= c.componentClass == "TacFileStorage";
    if (!hasStorage) continue;
    std::vector<SourceFile> some = FilesOfForm(form, path + ", resource " + r.name);
    files.insert(files.end(), std::make_move_iterator(some.begin()), std::make_move_iterator(some.end()));
  }
  if (!anyForm) throw InputError(path + ": the executable carries no form");
  return files;
}

}  // namespace

std::vector<SourceFile> LoadStoredFiles(const std::string& path) {
  if (IsExecutableFile(path)) return FilesOfExecutable(path);
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  if (StartsWith(bytes, "SFP1")) return ReadContainer(bytes, path, "");
  if (StartsWith(bytes, "TPF0")) return FilesOfForm(bytes, path);
  if (LooksLikeTextForm(bytes)) return FilesOfForm(TextFormToBinary(bytes, path), path);
  if (bytes.size() < 8)
    throw InputError(AtOffset(path, "not a container or form: " + std::to_string(bytes.size()) + " bytes", 0));
  // Anything else can only be a container in the plain form, which has no magic.
  return ReadContainer(bytes, path, "");
}
