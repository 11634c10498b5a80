#include "acStoredFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/Exceptions.h"
#include "core/PropertyRegistry.h"
#include "acFileStorage.h"
#include "acSFPack.h"
#include "acReadBehind.h"
#include "acSFPackStream.h"
#include "platform/mappedread.h"

const TClassInfo& TStoredFile::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TStoredFile>("TStoredFile").Build();
  return info;
}

TStoredFile::TStoredFile(TComponent* owner) : TacAddon(owner) {}

TacFileStorage* TStoredFile::Storage() const { return dynamic_cast<TacFileStorage*>(Owner()); }

TMemoryStream& TStoredFile::Data() {
  if (view_) {
    data_.SetSize(ContentSize());
    auto* out = reinterpret_cast<uint8_t*>(data_.Memory());
    if (viewPacked_) {
      size_t produced = 0;
      try {
        produced = UnpackBlocks(view_.get(), static_cast<size_t>(viewSize_), out, static_cast<size_t>(viewUnpacked_));
      } catch (const ESFPackError& e) {
        throw EReadError("Stored file \"" + FileName + "\": corrupt packed content: " + e.what());
      }
      if (produced != static_cast<size_t>(viewUnpacked_))
        throw EReadError("Stored file \"" + FileName + "\": blocks unpack to " + std::to_string(produced) +
                         " bytes, the record says " + std::to_string(viewUnpacked_));
    } else if (viewSize_ > 0)
      std::memcpy(out, view_.get(), static_cast<size_t>(viewSize_));
    data_.SetPosition(0);
    view_.reset();
  }
  return data_;
}

int64_t TStoredFile::ContentSize() const {
  if (!view_) return data_.Size();
  return viewPacked_ ? viewUnpacked_ : viewSize_;
}

void TStoredFile::SetContent(const std::string& bytes) {
  view_.reset();
  data_.Clear();
  data_.WriteString(bytes);
  data_.SetPosition(0);
  Size = static_cast<int32_t>(bytes.size());
}

void TStoredFile::SetContentView(TSharedBytes data, int64_t size, bool packed, int32_t unpacked) {
  data_.Clear();
  view_ = std::move(data);
  viewSize_ = size;
  viewPacked_ = packed;
  viewUnpacked_ = packed ? unpacked : 0;
  Size = packed ? unpacked : static_cast<int32_t>(size);
}

void TStoredFile::ForEachPiece(const std::function<void(const uint8_t*, size_t)>& sink) {
  if (view_ && viewPacked_) {
    try {
      UnpackBlocksBehind(view_.get(), static_cast<size_t>(viewSize_), static_cast<uint64_t>(viewUnpacked_), 0, sink);
    } catch (const ESFPackError& e) {
      throw EReadError("Stored file \"" + FileName + "\": corrupt packed content: " + e.what());
    }
    return;
  }
  const uint8_t* bytes = view_ ? view_.get() : reinterpret_cast<const uint8_t*>(data_.Memory());
  const size_t size = static_cast<size_t>(ContentSize());
  constexpr size_t kPiece = 1 << 20;
  // A view of a mapping read through its file goes through one buffer; any other view is read
  // in place, its pages given back behind.
  std::unique_ptr<uint8_t[]> buffer;
  if (view_ && IsReadThroughFile(bytes, size)) buffer.reset(new uint8_t[std::min(size, kPiece)]);
  const bool inPlaceView = view_ && !buffer;
  TReadBehind behind(bytes, inPlaceView ? size : 0);
  for (size_t at = 0; at < size; at += kPiece) {
    const size_t n = std::min(kPiece, size - at);
    if (buffer) CopyMappedBytes(buffer.get(), bytes + at, n);
    sink(buffer ? buffer.get() : bytes + at, n);
    if (inPlaceView) behind.Done(at + n);
  }
}

void TStoredFile::SaveToStream(TStream& stream) {
  ForEachPiece([&stream](const uint8_t* p, size_t n) { stream.WriteBuffer(p, static_cast<int64_t>(n)); });
}

std::string TStoredFile::Content() {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(ContentSize()));
  ForEachPiece([&bytes](const uint8_t* p, size_t n) { bytes.append(reinterpret_cast<const char*>(p), n); });
  return bytes;
}

void TStoredFile::WriteToStream(TStream& stream) { WriteToStream(stream, {}); }

void TStoredFile::WriteToStream(TStream& stream, const std::function<void(const uint8_t*, size_t)>& observe) {
  if (Size < 0 || Size != ContentSize())
    throw EWriteError("Stored file \"" + FileName + "\": size " + std::to_string(Size) +
                      " does not match its content of " + std::to_string(ContentSize()) + " bytes");
  stream.WriteDWord(static_cast<uint32_t>(FileName.size()));
  stream.WriteString(FileName);
  // The packed stream's length comes before it: write a placeholder and fill it in after, so
  // the content is packed once, block by block, straight into the stream.
  const int64_t lengthAt = stream.Position();
  stream.WriteDWord(0);
  auto sink = [&stream](const uint8_t* p, size_t n) { stream.WriteBuffer(p, static_cast<int64_t>(n)); };
  stream.WriteDWord(static_cast<uint32_t>(Size));
  uint64_t packed = 4;
  if (view_ && viewPacked_) {
    // Unpacked and packed again a block at a time: the bytes are those of packing the whole
    // content, whatever blocks the container was read with.
    std::unique_ptr<uint8_t[]> block(new uint8_t[SFPackBlockSize]);
    size_t filled = 0;
    uint64_t left = static_cast<uint64_t>(Size);
    ForEachPiece([&](const uint8_t* p, size_t n) {
      if (observe) observe(p, n);
      while (n > 0) {
        const size_t take = std::min(n, SFPackBlockSize - filled);
        std::memcpy(block.get() + filled, p, take);
        filled += take;
        p += take;
        n -= take;
        if (filled == SFPackBlockSize || filled == left) {
          packed += PackBlocksTo(block.get(), filled, sink);
          left -= filled;
          filled = 0;
        }
      }
    });
  } else {
    const auto* bytes = view_ ? view_.get() : reinterpret_cast<const uint8_t*>(data_.Memory());
    if (view_) {
      packed += PackBlocksBehind(bytes, static_cast<size_t>(Size), sink, observe);
    } else {
      if (observe) observe(bytes, static_cast<size_t>(Size));
      packed += PackBlocksTo(bytes, static_cast<size_t>(Size), sink);
    }
  }
  const int64_t end = stream.Position();
  stream.SetPosition(lengthAt);
  stream.WriteDWord(static_cast<uint32_t>(packed));
  stream.SetPosition(end);
}

namespace {

// A packed block byte unpacks to at most this many bytes (a long run: 5 bytes for 65536), so
// a stated size beyond it cannot be met by the blocks at hand; refusing it early keeps a
// corrupt length from allocating gigabytes.
constexpr int64_t kMostBytesPerPackedByte = 65536 / 5 + 1;

class RecordReader {
 public:
  RecordReader(TStream& stream) : stream_(stream) {}

  [[noreturn]] void Fail(const std::string& what, int64_t offset) const {
    throw EReadError("Stored file " + (name_.empty() ? std::string("record") : "\"" + name_ + "\"") + ": " + what +
                     " at offset " + std::to_string(offset));
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
      Fail(std::string(field) + " " + std::to_string(n) + " runs past the end (" + std::to_string(stream_.Remaining()) +
               " bytes left)",
           at);
    return n;
  }

  // n bytes in place when the stream has them in memory, else a copy of them.
  TSharedBytes Bytes(int64_t n) {
    if (TSharedBytes shared = stream_.Share(n)) return shared;
    std::shared_ptr<uint8_t[]> copy(new uint8_t[static_cast<size_t>(std::max<int64_t>(n, 1))]);
    stream_.ReadBuffer(copy.get(), n);
    return TSharedBytes(copy, copy.get());
  }

  void Name(const std::string& name) { name_ = name; }

 private:
  TStream& stream_;
  std::string name_;
};

}  // namespace

void TStoredFile::ReadFromStream(TStream& stream, bool packed, bool checkContent) {
  RecordReader in(stream);
  int32_t nameLength = in.Length("name length", 0);
  FileName.assign(static_cast<size_t>(nameLength), '\0');
  stream.ReadBuffer(FileName.data(), nameLength);
  in.Name(FileName);

  const int64_t contentAt = stream.Position();
  if (!packed) {
    int32_t contentLength = in.Length("content length", 0);
    SetContentView(in.Bytes(contentLength), contentLength, false, 0);
    storedSize_ = contentLength;
    return;
  }
  int32_t contentLength = in.Length("content length", 4);
  int64_t sizeAt = stream.Position();
  int32_t size = in.Int32("unpacked length");
  int64_t blockBytes = contentLength - 4;
  if (size < 0) in.Fail("unpacked length " + std::to_string(size) + " is negative", sizeAt);
  if (size > blockBytes * kMostBytesPerPackedByte)
    in.Fail("unpacked length " + std::to_string(size) + " cannot come from " + std::to_string(blockBytes) +
                " bytes of blocks",
            sizeAt);
  TSharedBytes blocks = in.Bytes(blockBytes);
  if (checkContent) {
    TSFPackBlockReader reader(blocks.get(), static_cast<size_t>(blockBytes), static_cast<uint64_t>(size));
    try {
      const uint8_t* piece;
      size_t n;
      TReadBehind behind(blocks.get(), static_cast<size_t>(blockBytes));
      while (!reader.AtEnd()) {
        reader.Next(piece, n);
        behind.Done(reader.Consumed());
      }
    } catch (const ESFPackError& e) {
      in.Fail("corrupt packed content: " + e.reason(), sizeAt + 4 + static_cast<int64_t>(e.offset()));
    }
    if (reader.Produced() != static_cast<uint64_t>(size))
      in.Fail(
          "blocks unpack to " + std::to_string(reader.Produced()) + " bytes, the record says " + std::to_string(size),
          contentAt);
  }
  SetContentView(std::move(blocks), blockBytes, true, size);
  storedSize_ = contentLength;
}
