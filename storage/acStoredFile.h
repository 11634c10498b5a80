#pragma once
// TStoredFile: one file carried by a storage, its name and its content, with the reading and
// writing of its record in the storage's container.
//
// A file read from a container keeps its content where the container lies (a view of its
// packed blocks, or of the plain bytes) and unpacks it only when something reads it: Data(),
// Content(), SaveToStream, extraction. Data() unpacks the whole content into memory once;
// SaveToStream and extraction go block by block and hold no more than one block.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/MemoryStream.h"
#include "core/acClasses.h"

class TacFileStorage;

class TStoredFile : public TacAddon {
  STOWAWAY_CLASS(TStoredFile, TacAddon)

  // owner is the storage that holds the file (may be nullptr for a file made on its own,
  // whose records are then read in the packed form).
  explicit TStoredFile(TComponent* owner);

  std::string FileName;  // relative to the extraction directory; may hold backslashes
  int32_t Size = 0;      // the content's length

  // The content in memory, unpacked on first use; its size equals Size after reading.
  TMemoryStream& Data();
  // The content's length as held (Data's size, or the length of the content not yet unpacked).
  int64_t ContentSize() const;
  // Bytes of the record's content field in the container it was read from (its packed stream
  // with the 4-byte length, or the plain bytes); 0 for a file not read from a container.
  int64_t StoredSize() const { return storedSize_; }

  // Writes the file's record: name length, name, packed-stream length, packed stream.
  // Raises EWriteError when Size does not match the content held.
  void WriteToStream(TStream& stream);
  // The same, handing the content to observe in order while it is packed (for a digest made in
  // the same pass); observe may be called on another thread, but never on two at once.
  void WriteToStream(TStream& stream, const std::function<void(const std::uint8_t*, std::size_t)>& observe);
  // Reads one record into this (empty) file, in the packed form when `packed` is set and in
  // the plain form otherwise. Every length is checked against the bytes left in the stream,
  // and, when checkContent is set, the content is unpacked once through a block-sized buffer
  // to check that it gives exactly its stated size (without it only the lengths are checked,
  // and a damaged content is found when it is read). Any fault raises EReadError naming the
  // record, the fault and the stream offset.
  void ReadFromStream(TStream& stream, bool packed, bool checkContent = true);

  // Writes the content to the file at the full path fileName, creating the directories of
  // the path first when createPath is set. Fires the storage's OnExtract (which may forbid
  // the write: then nothing happens and the result is true) and OnExtracted, and records the
  // path for removal when the storage's RemoveOnTerminate is set. The file is written under a
  // temporary name beside it and renamed into place only when all of it was written, so a
  // failure never leaves a cut-off file under the name (nor writes through a link there).
  // False when the file could not be written.
  virtual bool Extract(const std::string& fileName, bool createPath);
  // Extracts the file below directory (ending in "\\") under its stored name, as the storage's
  // automatic extraction does: the name must stay inside the directory once "." and ".." are
  // resolved, and no directory below it may be a link (createPath creates the missing ones).
  // An empty directory (none could be found) fails. Events, result and bookkeeping as Extract.
  bool ExtractBelow(const std::string& directory, bool createPath);
  // The path ExtractBelow writes to (directory and the stored name as given when it is refused).
  std::string TargetBelow(const std::string& directory) const;

  // Writes the content to stream, block by block.
  void SaveToStream(TStream& stream);
  // Hands the content to sink in order, in pieces of at most one block (1 MiB for a content
  // held in memory), without unpacking it whole.
  void ForEachPiece(const std::function<void(const std::uint8_t*, std::size_t)>& sink);
  // Sets the content (and Size) from bytes, for building containers.
  void SetContent(const std::string& bytes);
  // Shares the content: the file refers to size bytes at data (kept alive by keeper) instead
  // of holding a copy; packed says whether they are a packed stream's blocks (then size is
  // their length and unpacked the content's) or the content itself.
  void SetContentView(TSharedBytes data, int64_t size, bool packed, int32_t unpacked);
  std::string Content();

 private:
  TacFileStorage* Storage() const;
  // Runs write (which raises on failure) through the owning storage, which fires the events
  // and records the written file; without a storage, only write.
  bool ExtractWith(const std::string& fileName, const std::function<void()>& write);

  mutable TMemoryStream data_;
  TSharedBytes view_;         // the content not yet unpacked, or null
  int64_t viewSize_ = 0;      // bytes at view_
  bool viewPacked_ = false;   // view_ holds packed blocks (else the plain content)
  int32_t viewUnpacked_ = 0;  // the content's length when view_ holds packed blocks
  int64_t storedSize_ = 0;
};
