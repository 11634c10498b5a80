#pragma once

#include <functional>
// TacFileStorage: a non-visual component that carries whole files inside a form. Its files
// travel as the binary property "StoredData" in the "SFP1" container: the magic, the file
// count, then one record per file (name and packed content).
#include <cstdint>
#include <memory>
#include <string>

#include "core/Events.h"
#include "core/StringList.h"
#include "core/acClasses.h"
#include "acExtractSettings.h"
#include "acStoredFile.h"

class TStream;

// The storage's file list: owns its items and takes stored files only.
class TStoredFileList : public TacObjectList {
 public:
  TStoredFileList() : TacObjectList(true, 0) {}
  bool CanAdd(TObject* item) override;
};

// Before a file is written: Sender is the storage's owner, FileName the full path, FileSize
// the stored size; clearing AllowExtracting skips the file.
using TOnExtractEvent =
    TEvent<TObject* /*Sender*/, const std::string& /*FileName*/, int32_t /*FileSize*/, bool& /*AllowExtracting*/>;
// After a write was attempted.
using TOnExtractedEvent =
    TEvent<TObject* /*Sender*/, const std::string& /*FileName*/, int32_t /*FileSize*/, bool /*Successfully*/>;

// The container's magic "SFP1" read as a little-endian 32-bit value.
constexpr int32_t kStoredDataMagic = 0x31504653;

class TacFileStorage : public TacComponent {
  STOWAWAY_CLASS(TacFileStorage, TacComponent)

  explicit TacFileStorage(TComponent* owner);
  ~TacFileStorage() override;

  TAutoExtract* AutoExtract() const { return autoExtract_.get(); }
  // Takes ownership of value and frees the settings held before; nullptr is ignored.
  void SetAutoExtract(TAutoExtract* value);
  TacObjectList* Files() const { return files_.get(); }
  // Takes ownership of value and frees the list held before (and its files); nullptr is ignored.
  void SetFiles(TacObjectList* value);
  // The stored file at index; nullptr for an item of another class (only a list given through
  // SetFiles can hold one: the storage's own list refuses them).
  TStoredFile* File(int index) const { return dynamic_cast<TStoredFile*>(files_->Items(index)); }
  TStringList& ExtractedFiles() { return extractedFiles_; }
  // Extracts one of its files as fileName through write (which raises on failure): fires
  // OnExtract (which may skip the file) and OnExtracted, and records the written file for
  // removal at the end when RemoveOnTerminate is set. Failures are absorbed into the result.
  bool ExtractFile(TStoredFile& file, const std::string& fileName, const std::function<void()>& write);

  // Number of files read from the last container; set only by the container reader.
  int32_t Count() const { return count_; }
  // Sum of the sizes of the first Count files (unpacked), as a signed 32-bit value.
  int32_t GetDataSize() const;
  // The setter of Count and DataSize: the value is ignored.
  void SetReadOnly(int32_t) {}

  TOnExtractEvent OnExtract;
  TOnExtractedEvent OnExtracted;

  // Whether the last container read began with the "SFP1" magic.
  bool PackedContainer = false;
  // Whether reading a container unpacks every content once (through a block-sized buffer) to
  // check it. Off by default: reading checks every length, and a damaged content is found when
  // it is unpacked (Data, Content and SaveToStream raise EReadError, extraction fails and
  // leaves no file), so an installer unpacks its payload once, not twice.
  bool CheckContentOnRead = false;

  // The container: writes "SFP1", Count, then the first Count files' records.
  void WriteStoredData(TStream& stream);
  // Reads a container (packed or plain form) and appends its files to Files. On a fault the
  // files read before stay in the list and the error propagates.
  void ReadStoredData(TStream& stream);

  void DefineProperties(TFiler& filer) override;
  // After the inherited work, extracts the files when AutoExtract is enabled (and the
  // storage is not in a designer), each under the Overwrite policy.
  void Loaded() override;

 private:
  // Deletes the recorded files and, when it is then empty, the directory of the first one.
  void RemoveExtractedFiles() noexcept;

  std::unique_ptr<TAutoExtract> autoExtract_;
  std::unique_ptr<TacObjectList> files_;
  TStringList extractedFiles_;
  int32_t count_ = 0;
};

// Makes the storage classes known to the form reader (idempotent).
void RegisterStorageClasses();
