#include "FormStreaming.h"

#include <cstring>

#include "Filer.h"
#include "FormText.h"
#include "MemoryStream.h"
#include "Reader.h"
#include "Writer.h"

void ReadForm(TStream& stream, TComponent& root) { TReader(stream).ReadRootComponent(&root); }

std::unique_ptr<TComponent> ReadForm(TStream& stream) {
  return std::unique_ptr<TComponent>(TReader(stream).ReadRootComponent(nullptr));
}

void WriteForm(TStream& stream, TComponent& root) { TWriter(stream).WriteRootComponent(&root); }

namespace {
TMemoryStream TextToBinary(TStream& stream) {
  TMemoryStream binary;
  ObjectTextToBinary(stream, binary);
  binary.SetPosition(0);
  return binary;
}
}  // namespace

void ReadFormText(TStream& stream, TComponent& root) {
  TMemoryStream binary = TextToBinary(stream);
  ReadForm(binary, root);
}

std::unique_ptr<TComponent> ReadFormText(TStream& stream) {
  TMemoryStream binary = TextToBinary(stream);
  return ReadForm(binary);
}

void WriteFormText(TStream& stream, TComponent& root) {
  TMemoryStream binary;
  WriteForm(binary, root);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, stream);
}

bool IsBinaryForm(TStream& stream) {
  int64_t pos = stream.Position();
  char sig[4] = {};
  int64_t n = stream.Read(sig, 4);
  stream.SetPosition(pos);
  return n == 4 && std::memcmp(sig, kFilerSignature, 4) == 0;
}
