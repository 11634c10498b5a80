#include "Stream.h"

#include <vector>

#include "Exceptions.h"

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0) throw EReadError("Stream read error: negative count");
  if (count == 0) return;
  int64_t got = Read(buffer, count);
  if (got != count) throw EReadError("Stream read error at offset " + std::to_string(Position()));
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0) throw EWriteError("Stream write error: negative count");
  if (count == 0) return;
  if (Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::Size() {
  int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream cannot change its size"); }

TSharedBytes TStream::Share(int64_t count) {
  if (count < 0 || count > Remaining()) throw EReadError("Stream read error at offset " + std::to_string(Position()));
  return nullptr;
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buf(static_cast<size_t>(std::min<int64_t>(count, 64 * 1024)));
  int64_t left = count;
  while (left > 0) {
    int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return count;
}

uint8_t TStream::ReadByte() {
  uint8_t b;
  ReadBuffer(&b, 1);
  return b;
}
uint16_t TStream::ReadWord() {
  uint8_t b[2];
  ReadBuffer(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}
uint32_t TStream::ReadDWord() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}
uint64_t TStream::ReadQWord() {
  uint64_t lo = ReadDWord();
  uint64_t hi = ReadDWord();
  return lo | (hi << 32);
}
void TStream::WriteByte(uint8_t v) { WriteBuffer(&v, 1); }
void TStream::WriteWord(uint16_t v) {
  uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  WriteBuffer(b, 2);
}
void TStream::WriteDWord(uint32_t v) {
  uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 24)};
  WriteBuffer(b, 4);
}
void TStream::WriteQWord(uint64_t v) {
  WriteDWord(static_cast<uint32_t>(v));
  WriteDWord(static_cast<uint32_t>(v >> 32));
}
