// Fuzz target: the text form parser (text to binary), and the binary-to-text converter on
// whatever the parser accepted. Converting that text once more must give the same text (the
// binary may differ once: quoted bytes above 127 come back as #n, which makes wide strings).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Exceptions.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
  TMemoryStream binary;
  try {
    ObjectTextToBinary(in, binary);
  } catch (const Exception&) {
    return 0;
  }
  binary.SetPosition(0);
  TMemoryStream text;
  ObjectBinaryToText(binary, text);  // must not fail on the converter's own output
  text.SetPosition(0);
  TMemoryStream again, text2;
  ObjectTextToBinary(text, again);
  again.SetPosition(0);
  ObjectBinaryToText(again, text2);
  if (text2.Bytes() != text.Bytes()) std::abort();
  return 0;
}
