#pragma once
// Where a storage extracts its files (TExtractTo) and the automatic-extraction settings
// (TAutoExtract), with their two enumerations.
#include <cstdint>
#include <memory>
#include <string>

#include "core/TypeNames.h"
#include "core/acClasses.h"

// The well-known directory below which extracted files go.
enum TacToplevelDir : uint8_t {
  tdCurrentDir,
  tdWindowsDir,
  tdTempDir,
  tdSystemDir,
  tdMediaDir,
  tdCursorsDir,
  tdHelpDir,
  tdSamplesDir,
  tdDesktop,
  tdProgramFiles,
  tdMyDocuments,
  tdMyPictures,
  tdAppData
};
extern const TTypeNames TacToplevelDirNames;

// When an existing file is replaced by the automatic extraction.
enum TacFileStorageOverwrite : uint8_t { owIfSizeDifferent, owNever, owAlways };
extern const TTypeNames TacFileStorageOverwriteNames;

class TExtractTo : public TPersistent {
  STOWAWAY_CLASS(TExtractTo, TPersistent)

  // Made on its own every field is zero (CreatePath false); TAutoExtract sets CreatePath.
  bool CreatePath = false;
  TacToplevelDir ToplevelDir = tdCurrentDir;
  std::string Subdirectory;

  // The target directory, always ending in a backslash: the well-known base directory of
  // ToplevelDir, then Subdirectory without its leading backslashes.
  std::string GetExtractDir() const;
};

class TAutoExtract : public TacAddon {
  STOWAWAY_CLASS(TAutoExtract, TacAddon)

  explicit TAutoExtract(TComponent* owner);

  TExtractTo* ExtractTo() const { return extractTo_.get(); }
  // Takes ownership of value and frees the settings held before; nullptr is ignored, so the
  // settings object always exists.
  void SetExtractTo(TExtractTo* value);

  TacFileStorageOverwrite Overwrite = owIfSizeDifferent;
  bool RemoveOnTerminate = false;

 private:
  std::unique_ptr<TExtractTo> extractTo_;
};
