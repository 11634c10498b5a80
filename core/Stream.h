#pragma once
// TStream: byte stream with a position. Read returns what it could read; ReadBuffer raises
// EReadError when fewer bytes remain. Write returns what it wrote; WriteBuffer raises
// EWriteError when it could not write everything.
#include <cstdint>
#include <memory>
#include <string>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Bytes that stay valid while the pointer (or a copy of it) is held. The pointer may own
// nothing (bytes that live as long as the program): test get(), not the pointer itself.
using TSharedBytes = std::shared_ptr<const uint8_t>;

class TStream {
 public:
  virtual ~TStream() = default;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t newSize);
  // Bytes between the position and the end.
  int64_t Remaining() { return Size() - Position(); }

  // The next count bytes in place, without a copy, and advances past them; a null pointer
  // (and no move) when the stream holds no such bytes in memory. Raises EReadError when fewer
  // than count bytes remain.
  virtual TSharedBytes Share(int64_t count);

  // Copies count bytes from source (all of source from its start when count is 0).
  int64_t CopyFrom(TStream& source, int64_t count);

  // Little-endian helpers.
  uint8_t ReadByte();
  uint16_t ReadWord();
  uint32_t ReadDWord();
  uint64_t ReadQWord();
  void WriteByte(uint8_t v);
  void WriteWord(uint16_t v);
  void WriteDWord(uint32_t v);
  void WriteQWord(uint64_t v);
  void WriteString(const std::string& s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }
};
