// stowaway verify: proves an installer whole. Reads every resource, the form and its stored
// files (each one unpacked) and checks them against the manifest that `build` put in.
#include <algorithm>
#include <map>
#include <ostream>

#include "storage/acManifest.h"
#include "cli_error.h"
#include "commands.h"
#include "platform/execresources.h"
#include "platform/sha256.h"
#include "storage/acFileStorage.h"
#include "stored_source.h"

int CmdVerify(CommandContext& ctx) {
  ExpectArgs(ctx, 1, "verify INSTALLER");
  const std::string& path = ctx.args[0];
  std::vector<ExecutableResource> resources;
  try {
    resources = ReadExecutableResources(path);
  } catch (const std::runtime_error& e) {
    throw InputError(e.what());  // names the file
  }
  std::string manifestText, setupName;
  bool haveManifest = false;
  for (const ExecutableResource& r : resources) {
    if (r.type != 10) continue;
    if (r.name == kManifestResourceName) manifestText = std::string(r.data), haveManifest = true;
    if (r.name == "SETUPFILENAME") setupName = std::string(r.data);
  }
  if (!haveManifest) throw InputError(path + ": carries no manifest (cut off, or not made by stowaway build)");
  std::vector<ManifestEntry> manifest;
  if (!ParseManifest(manifestText, manifest)) throw InputError(path + ": the manifest is damaged");

  std::map<std::string, const ManifestEntry*> expected;
  for (const ManifestEntry& e : manifest) expected[e.name] = &e;
  std::vector<std::string> faults;
  std::size_t whole = 0;
  StoredSource source = LoadStoredFiles(path, false);
  for (const SourceFile& f : source.files) {
    const std::string& name = f.file->FileName;
    auto it = expected.find(name);
    if (it == expected.end()) {
      faults.push_back(name + " is not in the manifest");
      continue;
    }
    // Each file is unpacked block by block into the digest, never held whole.
    Sha256 digest;
    std::string damaged;
    try {
      f.file->ForEachPiece([&digest](const std::uint8_t* p, std::size_t n) { digest.Update(p, n); });
    } catch (const std::exception& e) {
      damaged = e.what();
    }
    const auto size = static_cast<std::uint64_t>(f.file->ContentSize());
    if (!damaged.empty())
      faults.push_back(name + " cannot be unpacked: " + damaged);
    else if (size != it->second->size)
      faults.push_back(name + " has " + std::to_string(size) + " bytes, the manifest says " +
                       std::to_string(it->second->size));
    else if (Sha256::Hex(digest.Final()) != it->second->sha256)
      faults.push_back(name + " differs from its SHA-256 in the manifest");
    else
      ++whole;
    expected.erase(it);
  }
  for (const auto& [name, entry] : expected) faults.push_back(name + " is missing");
  if (!setupName.empty() &&
      std::none_of(manifest.begin(), manifest.end(), [&](const ManifestEntry& e) { return e.name == setupName; }))
    faults.push_back("the setup program " + setupName + " is not stored");
  if (!faults.empty()) {
    std::string all;
    for (const std::string& f : faults) all += (all.empty() ? "" : "; ") + f;
    throw InputError(path + ": " + all);
  }
  ctx.out << path << ": " << whole << " stored file" << (whole == 1 ? "" : "s") << " whole\n";
  return ExitOk;
}
