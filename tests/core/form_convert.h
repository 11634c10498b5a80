// Forms converted between their binary and text forms in memory, for tests.
#pragma once

#include <string>

#include "core/FormText.h"
#include "core/MemoryStream.h"

inline std::string ToText(const std::string& binary) {
  TMemoryStream in(binary), out;
  ObjectBinaryToText(in, out);
  return out.Bytes();
}

inline std::string ToBinary(const std::string& text) {
  TMemoryStream in(text), out;
  ObjectTextToBinary(in, out);
  return out.Bytes();
}
