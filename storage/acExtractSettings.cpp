#include "acExtractSettings.h"

#include "core/PropertyRegistry.h"

const TTypeNames TacToplevelDirNames("TacToplevelDir",
                                     {"tdCurrentDir", "tdWindowsDir", "tdTempDir", "tdSystemDir", "tdMediaDir",
                                      "tdCursorsDir", "tdHelpDir", "tdSamplesDir", "tdDesktop", "tdProgramFiles",
                                      "tdMyDocuments", "tdMyPictures", "tdAppData"});

const TTypeNames TacFileStorageOverwriteNames("TacFileStorageOverwrite", {"owIfSizeDifferent", "owNever", "owAlways"});

const TClassInfo& TExtractTo::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TExtractTo>("TExtractTo")
          .Boolean("CreatePath", &TExtractTo::CreatePath, &TExtractTo::CreatePath)
          .Default(true)
          .Enum("ToplevelDir", TacToplevelDirNames, &TExtractTo::ToplevelDir, &TExtractTo::ToplevelDir)
          .Default(tdCurrentDir)
          .String("Subdirectory", &TExtractTo::Subdirectory, &TExtractTo::Subdirectory)
          .Build();
  return info;
}

const TClassInfo& TAutoExtract::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TAutoExtract>("TAutoExtract")
          .Object("ExtractTo", &TAutoExtract::ExtractTo,
                  [](TAutoExtract& a, TPersistent* v) { a.SetExtractTo(dynamic_cast<TExtractTo*>(v)); })
          .Enum("Overwrite", TacFileStorageOverwriteNames, &TAutoExtract::Overwrite, &TAutoExtract::Overwrite)
          .Default(owIfSizeDifferent)
          .Boolean("RemoveOnTerminate", &TAutoExtract::RemoveOnTerminate, &TAutoExtract::RemoveOnTerminate)
          .Default(false)
          .Build();
  return info;
}

TAutoExtract::TAutoExtract(TComponent* owner) : TacAddon(owner), extractTo_(std::make_unique<TExtractTo>()) {
  extractTo_->CreatePath = true;
}

void TAutoExtract::SetExtractTo(TExtractTo* value) {
  if (value && value != extractTo_.get()) extractTo_.reset(value);
}
