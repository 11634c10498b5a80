#include "acFileStorage.h"

#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/PropertyRegistry.h"
#include "core/Stream.h"

const TClassInfo& TacFileStorage::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TacFileStorage>("TacFileStorage")
          .Object("AutoExtract", &TacFileStorage::AutoExtract,
                  [](TacFileStorage& s, TPersistent* v) { s.SetAutoExtract(dynamic_cast<TAutoExtract*>(v)); })
          .Integer("Count", &TacFileStorage::Count, &TacFileStorage::SetReadOnly)
          .Stored(false)
          .Integer("DataSize", &TacFileStorage::GetDataSize, &TacFileStorage::SetReadOnly)
          .Stored(false)
          // The list is published for reading and replacing; it has no form of its own and
          // the files travel in "StoredData", so it is never written.
          .Object("Files", &TacFileStorage::Files, &TacFileStorage::SetFiles)
          .Stored(false)
          .Event("OnExtract", &TacFileStorage::OnExtract)
          .Event("OnExtracted", &TacFileStorage::OnExtracted)
          .Build();
  return info;
}

void RegisterStorageClasses() { RegisterClass(TacFileStorage::StaticClassInfo()); }

TacFileStorage::TacFileStorage(TComponent* owner)
    : TacComponent(owner),
      autoExtract_(std::make_unique<TAutoExtract>(this)),
      files_(std::make_unique<TStoredFileList>()) {}

bool TStoredFileList::CanAdd(TObject* item) {
  return dynamic_cast<TStoredFile*>(item) != nullptr && TacObjectList::CanAdd(item);
}

TacFileStorage::~TacFileStorage() {
  RemoveExtractedFiles();
  // Then frees the extracted-file list, the files and the settings, in that order.
  extractedFiles_.Clear();
  files_.reset();
  autoExtract_.reset();
}

void TacFileStorage::SetAutoExtract(TAutoExtract* value) {
  if (value && value != autoExtract_.get()) autoExtract_.reset(value);
}

void TacFileStorage::SetFiles(TacObjectList* value) {
  if (value && value != files_.get()) files_.reset(value);
}

int32_t TacFileStorage::GetDataSize() const {
  uint32_t sum = 0;  // wraps like the signed 32-bit sum it stands for
  for (int32_t i = 0; i < count_; ++i)
    if (TStoredFile* file = File(i)) sum += static_cast<uint32_t>(file->Size);
  return static_cast<int32_t>(sum);
}

void TacFileStorage::WriteStoredData(TStream& stream) {
  stream.WriteDWord(static_cast<uint32_t>(kStoredDataMagic));
  stream.WriteDWord(static_cast<uint32_t>(count_));
  for (int32_t i = 0; i < count_; ++i) {
    TStoredFile* file = File(i);
    if (!file) throw EWriteError("Stored data: item " + std::to_string(i) + " of Files is no stored file");
    file->WriteToStream(stream);
  }
}

void TacFileStorage::ReadStoredData(TStream& stream) {
  auto readInt32 = [&stream](const char* what) {
    if (stream.Remaining() < 4)
      throw EReadError(std::string("Stored data: ") + what + " cut off (" + std::to_string(stream.Remaining()) +
                       " of 4 bytes left) at offset " + std::to_string(stream.Position()));
    return static_cast<int32_t>(stream.ReadDWord());
  };
  count_ = readInt32("file count");
  if (count_ == kStoredDataMagic) {
    PackedContainer = true;
    count_ = readInt32("file count");
  } else {
    PackedContainer = false;
    readInt32("second header value");  // present in the plain form, without a known meaning
  }
  for (int32_t i = 0; i < count_; ++i) {
    auto file = std::make_unique<TStoredFile>(this);
    file->ReadFromStream(stream, PackedContainer, CheckContentOnRead);
    files_->Add(file.release());
  }
}

void TacFileStorage::DefineProperties(TFiler& filer) {
  TacComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "StoredData", [this](TStream& s) { ReadStoredData(s); }, [this](TStream& s) { WriteStoredData(s); }, count_ != 0);
}
