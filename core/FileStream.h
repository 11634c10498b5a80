#pragma once
// TFileStream: a stream over a file. The name is an 8-bit (Windows-1252) text and is converted
// to UTF-8 for the file system. Errors raise EFOpenError / EReadError / EWriteError with the
// system's message.
#include <string>

#include "Stream.h"

enum class TFileMode { fmOpenRead, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t newSize) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  int fd_ = -1;
};
