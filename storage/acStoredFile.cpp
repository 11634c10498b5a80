#include "acStoredFile.h"

#include <vector>

#include "Exceptions.h"
#include "PropertyRegistry.h"
#include "acFileStorage.h"
#include "acSFPack.h"

const TClassInfo& TStoredFile::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TStoredFile>("TStoredFile").Build();
  return info;
}

TStoredFile::TStoredFile(TComponent* owner) : TacAddon(owner) {}

TacFileStorage* TStoredFile::Storage() const { return dynamic_cast<TacFileStorage*>(Owner()); }

void TStoredFile::SetContent(const std::string& bytes) {
  Data.Clear();
  Data.WriteString(bytes);
  Data.SetPosition(0);
  Size = static_cast<int32_t>(bytes.size());
}

void TStoredFile::WriteToStream(TStream& stream) {
  if (Size < 0 || Size != Data.Size())
    throw EWriteError("Stored file \"" + FileName + "\": size " + std::to_string(Size) +
                      " does not match its content of " + std::to_string(Data.Size()) + " bytes");
  stream.WriteDWord(static_cast<uint32_t>(FileName.size()));
  stream.WriteString(FileName);
  std::vector<uint8_t> scratch(PackedSizeBound(static_cast<size_t>(Size)));
  size_t packed = PackStream(reinterpret_cast<const uint8_t*>(Data.Memory()), static_cast<size_t>(Size),
                             scratch.data());
  stream.WriteDWord(static_cast<uint32_t>(packed));
  stream.WriteBuffer(scratch.data(), static_cast<int64_t>(packed));
}

namespace {

// A packed block byte unpacks to at most this many bytes (a long run: 5 bytes for 65536), so
// a stated size beyond it cannot be met by the blocks at hand; refusing it early keeps a
// corrupt length from allocating gigabytes.
constexpr int64_t kMostBytesPerPackedByte = 65536 / 5 + 1;

class RecordReader {
public:
  RecordReader(TStream& stream, const std::string& fileName) : stream_(stream), name_(fileName) {}

  [[noreturn]] void Fail(const std::string& what, int64_t offset) const {
    throw EReadError("Stored file " + (name_.empty() ? std::string("record") : "\"" + name_ + "\"") + ": " +
                     what + " at offset " + std::to_string(offset));
  }

  int32_t Int32(const char* field) {
    int64_t at = stream_.Position();
    if (stream_.Remaining() < 4)
      Fail(std::string(field) + " cut off (" + std::to_string(stream_.Remaining()) + " of 4 bytes left)", at);
    return static_cast<int32_t>(stream_.ReadDWord());
  }

  // A length field that must be at least `least` and fit in what is left of the stream.
  int32_t Length(const char* field, int32_t least) {
    int64_t at = stream_.Position();
    int32_t n = Int32(field);
    if (n < least) Fail(std::string(field) + " " + std::to_string(n) + " is below " + std::to_string(least), at);
    if (n > stream_.Remaining())
      Fail(std::string(field) + " " + std::to_string(n) + " runs past the end (" +
               std::to_string(stream_.Remaining()) + " bytes left)",
           at);
    return n;
  }

  void Name(std::string& name) { name_ = name; }

private:
  TStream& stream_;
  std::string name_;
};

}  // namespace

void TStoredFile::ReadFromStream(TStream& stream) {
  RecordReader in(stream, "");
  int32_t nameLength = in.Length("name length", 0);
  FileName.assign(static_cast<size_t>(nameLength), '\0');
  stream.ReadBuffer(FileName.data(), nameLength);
  in.Name(FileName);

  int64_t contentAt = stream.Position();
  TacFileStorage* storage = Storage();
  if (!storage || storage->PackedContainer) {
    int32_t contentLength = in.Length("content length", 4);
    int64_t sizeAt = stream.Position();
    int32_t size = in.Int32("unpacked length");
    int64_t blockBytes = contentLength - 4;
    if (size < 0) in.Fail("unpacked length " + std::to_string(size) + " is negative", sizeAt);
    if (size > blockBytes * kMostBytesPerPackedByte)
      in.Fail("unpacked length " + std::to_string(size) + " cannot come from " + std::to_string(blockBytes) +
                  " bytes of blocks",
              sizeAt);
    std::vector<uint8_t> blocks(static_cast<size_t>(blockBytes));
    stream.ReadBuffer(blocks.data(), blockBytes);
    Data.SetSize(size);
    Size = size;
    try {
      size_t produced = UnpackBlocks(blocks.data(), blocks.size(), reinterpret_cast<uint8_t*>(Data.Memory()),
                                     static_cast<size_t>(size));
      if (produced != static_cast<size_t>(size))
        in.Fail("blocks unpack to " + std::to_string(produced) + " bytes, the record says " +
                    std::to_string(size),
                contentAt);
    } catch (const ESFPackError& e) {
      // The codec's message ends in its own offset; report the offset in the stream instead.
      std::string what = e.what();
      if (size_t cut = what.rfind(" at offset "); cut != std::string::npos) what.resize(cut);
      in.Fail("corrupt packed content: " + what, sizeAt + 4 + static_cast<int64_t>(e.offset()));
    }
  } else {
    int32_t contentLength = in.Length("content length", 0);
    Data.SetSize(contentLength);
    Size = contentLength;
    stream.ReadBuffer(Data.Memory(), contentLength);
  }
  Data.SetPosition(0);
}
