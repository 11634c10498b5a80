// One set of forms through every user of the binary-form drivers: the writer, the reader and
// both converters must agree on each of them.
#include <gtest/gtest.h>

#include "core/FormStreaming.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "form_convert.h"
#include "peer_classes.h"

namespace {
std::string Written(TComponent& root) {
  TMemoryStream out;
  WriteForm(out, root);
  return out.Bytes();
}

// Forms of the peer's classes, so that the reader can create them.
std::vector<std::string> PeerForms() {
  std::vector<std::string> forms;
  auto sample = PeerSample();
  forms.push_back(Written(*sample));
  auto* c = dynamic_cast<TPeerItem*>(sample->FindComponent("ItemC"));
  c->Ratio = 1e300;
  c->Caption = std::string(300, '\x80');
  c->Link = sample.get();  // the root, written as "Owner"
  forms.push_back(Written(*sample));
  forms.push_back(
      ToBinary("object R: TPeerRoot\n  Title = 'x'\n  object I: TPeerItem\n"
               "    Count = $000000000000000000007F\n    Ratio = -2.5e-3\n  end\nend\n"));
  return forms;
}
}  // namespace

TEST(FormRoundTrip, WriterReaderAndConvertersAgree) {
  RegisterPeerClasses();
  for (const std::string& binary : PeerForms()) {
    SCOPED_TRACE(ToText(binary).substr(0, 40));
    // Text and back gives the same text (the binary may differ once: bytes above 127 in
    // quoted text become wide strings).
    const std::string text = ToText(binary);
    EXPECT_EQ(ToText(ToBinary(text)), text);
    // Read and written again gives the same bytes, from the binary and from the text.
    TMemoryStream in(binary);
    auto read = ReadForm(in);
    EXPECT_EQ(Written(*read), binary);
    TMemoryStream textIn(text);
    auto fromText = ReadFormText(textIn);
    EXPECT_EQ(PeerDump(dynamic_cast<TPeerRoot&>(*fromText)), PeerDump(dynamic_cast<TPeerRoot&>(*read)));
  }
}
