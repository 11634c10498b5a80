#pragma once
// TStoredFile: one file carried by a storage, its name and its content in memory, with the
// reading and writing of its record in the storage's container.
#include <cstdint>
#include <string>

#include "MemoryStream.h"
#include "acClasses.h"

class TacFileStorage;

class TStoredFile : public TacAddon {
  STOWAWAY_CLASS(TStoredFile, TacAddon)

  // owner is the storage that holds the file (may be nullptr for a file made on its own,
  // whose records are then read in the packed form).
  explicit TStoredFile(TComponent* owner);

  std::string FileName;  // relative to the extraction directory; may hold backslashes
  int32_t Size = 0;      // the content's length
  TMemoryStream Data;    // the content; its size equals Size after reading

  // Writes the file's record: name length, name, packed-stream length, packed stream.
  // Raises EWriteError when Size does not match the content held.
  void WriteToStream(TStream& stream);
  // Reads one record into this (empty) file: packed when the owning storage read the "SFP1"
  // magic or when there is no owning storage, plain otherwise. Every length is checked
  // against the bytes left in the stream and the content must unpack to exactly its stated
  // size; any fault raises EReadError naming the record, the fault and the stream offset.
  void ReadFromStream(TStream& stream);

  // Writes the content to the file at the full path fileName, creating the directories of
  // the path first when createPath is set. Fires the storage's OnExtract (which may forbid
  // the write: then nothing happens and the result is true) and OnExtracted, and records the
  // path for removal when the storage's RemoveOnTerminate is set. False when the file could
  // not be written, or when the stored name would lead out of the extraction directory.
  virtual bool Extract(const std::string& fileName, bool createPath);

  // Sets the content (and Size) from bytes, for building containers.
  void SetContent(const std::string& bytes);
  std::string Content() const { return Data.Bytes(); }

private:
  TacFileStorage* Storage() const;
};
