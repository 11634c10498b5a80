// acSFPack: the run-length block codec that packs the contents of stored files.
//
// A packed stream is the 32-bit little-endian unpacked length N followed by ceil(N / 65533)
// framed blocks: a 16-bit packed length P, then P bytes of packed block (a 16-bit header word,
// then the body). A block is coded in escape mode when some byte value is absent from it
// (header word = that escape byte) and in run-table mode otherwise (header word = offset of
// the run table at the end of the block).
//
// Packing never touches the source and never writes past PackedSizeBound(N) bytes of dest.
// Unpacking checks every field against the bytes given and the room in the destination and
// throws ESFPackError, naming the fault and its byte offset, on a malformed stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// Largest number of input bytes in one block; a block of this size packs into at most 65535 bytes.
constexpr std::size_t SFPackBlockSize = 65533;

// A malformed packed stream. offset() is the byte offset of the fault, counted from the start
// of the bytes handed to the unpacking routine that raised it.
class ESFPackError : public std::runtime_error {
 public:
  ESFPackError(const std::string& reason, std::size_t offset);
  // What is wrong, without the offset (what() says both).
  const std::string& reason() const noexcept { return reason_; }
  std::size_t offset() const noexcept { return offset_; }

 private:
  std::string reason_;
  std::size_t offset_;
};

// Size of a destination buffer that always holds the packed stream of n bytes.
std::size_t PackedSizeBound(std::size_t n);

// Packs n bytes at source into dest as a packed stream (unpacked length, then the framed
// blocks) and returns the bytes written, the 4-byte length included. dest must hold
// PackedSizeBound(n) bytes. n must fit in 32 bits (std::length_error otherwise).
std::size_t PackStream(const std::uint8_t* source, std::size_t n, std::uint8_t* dest);

// Packs one block of n bytes (1 to SFPackBlockSize) into out, which must hold n + 2 bytes;
// returns the packed length (header word and body). Bytes of out past the packed length may be
// overwritten (never past n + 2). std::invalid_argument for n out of range.
std::size_t PackBlock(const std::uint8_t* input, std::size_t n, std::uint8_t* out);

// Unpacks one packed block of p bytes (header word and body) into out, which has room for
// capacity bytes; returns the bytes written. Bytes of out past those written may be
// overwritten (never past capacity).
std::size_t UnpackBlock(const std::uint8_t* block, std::size_t p, std::uint8_t* out, std::size_t capacity);

// Unpacks the framed blocks of a packed stream (without its leading unpacked length), size
// bytes in all, into dest with room for capacity bytes; returns the bytes written. Bytes of
// dest past those written may be overwritten (never past capacity).
std::size_t UnpackBlocks(const std::uint8_t* blocks, std::size_t size, std::uint8_t* dest, std::size_t capacity);

// Unpacks a whole packed stream of size bytes (unpacked length, then the blocks) into dest,
// which must hold exactly the unpacked length announced by the stream (read it with
// PackedStreamLength). Throws ESFPackError when the blocks give fewer or more bytes, and
// std::length_error when capacity is below the announced length.
void UnpackStream(const std::uint8_t* stream, std::size_t size, std::uint8_t* dest, std::size_t capacity);

// The unpacked length stored in the first 4 bytes of a packed stream of size bytes.
std::uint32_t PackedStreamLength(const std::uint8_t* stream, std::size_t size);
