#pragma once
// Gives back the memory of bytes already read, for contents that are read front to back from
// a view of a mapped file (a resource, a container the tool mapped): every 16 MiB the pages
// behind the reader leave the process's working set, so reading a large content never holds it
// whole. The bytes stay valid; a later read only brings the pages in again. The pages of the
// next few MiB are brought in ahead of the reader, in one step each, rather than one page
// fault at a time.
#include <cstddef>
#include <cstdint>
#include <functional>

class TReadBehind {
 public:
  // The stretch of size bytes from start.
  TReadBehind(const std::uint8_t* start, std::size_t size) : start_(start), size_(size) {}
  // Gives back what was read since the last step, too.
  ~TReadBehind();
  TReadBehind(const TReadBehind&) = delete;
  TReadBehind& operator=(const TReadBehind&) = delete;
  // Bytes from the start that have been read and will not be read again soon.
  void Done(std::size_t consumed);

 private:
  const std::uint8_t* start_;
  std::size_t size_;
  std::size_t released_ = 0;
  std::size_t consumed_ = 0;
  std::size_t prefetched_ = 0;  // bytes from the start brought in ahead
};

// A receiver of bytes in order, a piece at a time.
using PieceSink = std::function<void(const std::uint8_t*, std::size_t)>;

// Packs n bytes as framed blocks (PackBlocksTo) in parts of whole blocks, giving back the pages
// of each part once it is packed (or reading a mapping through its file); returns the bytes
// handed to sink. A content of more than one part is packed on two threads; sink is called on
// the caller's thread only, with the frames in order, and the bytes are those of PackBlocksTo.
// observe, when given, receives the content itself in order, in pieces of up to 16 blocks, on
// the second thread for a large content (so that a digest is made in the same pass).
std::uint64_t PackBlocksBehind(const std::uint8_t* source, std::size_t n, const PieceSink& sink,
                               const PieceSink& observe = {});

// Unpacks the framed blocks of a packed stream (size bytes at blocks, announced bytes in all;
// error offsets counted from base, as TSFPackBlockReader) and hands the unpacked bytes to sink
// in order. A large content is unpacked ahead on a second thread while sink takes the bytes
// before; a mapping is read through its file where it can be, else its pages are given back
// behind the reader. Raises ESFPackError.
void UnpackBlocksBehind(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced, std::size_t base,
                        const PieceSink& sink);
