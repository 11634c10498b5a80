// Bad binary forms: every error is a read error naming the component, the property and the
// byte offset; nothing leaks and nothing is read outside the stream (sanitizers check both).
#include <gtest/gtest.h>

#include "core/FormStreaming.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "core/Reader.h"
#include "peer_classes.h"

namespace {
// A byte string from a literal, embedded NULs included.
template <size_t N>
std::string B(const char (&s)[N]) {
  return std::string(s, N - 1);
}
const std::string kHead = B("TPF0\x09TPeerRoot\x01R\0\x09TPeerItem\x04Item");

struct BadForm {
  const char* name;
  std::string bytes;
  std::vector<std::string> mentions;  // parts of the message
};

class FormErrors : public ::testing::TestWithParam<BadForm> {
 protected:
  void SetUp() override { RegisterPeerClasses(); }
};

TEST_P(FormErrors, RaiseAReadErrorWithThePlace) {
  TMemoryStream in(GetParam().bytes);
  try {
    ReadForm(in);
    FAIL() << "no error";
  } catch (const EFormReadError& e) {
    for (const std::string& m : GetParam().mentions)
      EXPECT_NE(std::string(e.what()).find(m), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormErrors,
    ::testing::Values(
        BadForm{"WrongSignature", "TPF1\x09TPeerRoot", {"signature", "offset 0"}}, BadForm{"Empty", "", {"signature"}},
        BadForm{"UnknownRootClass", B("TPF0\x04TNop\x01R\0\0"), {"TNop", "not found", "offset 4"}},
        BadForm{"UnknownChildClass",
                B("TPF0\x09TPeerRoot\x01R\0\x04TNop\x01X\0\0\0"),
                {"X (TNop)", "not found", "offset 17"}},
        BadForm{"UnknownProperty", kHead + B("\x04Nope\x02\x01"), {"Item.Nope", "offset 32", "Unknown"}},
        BadForm{"UnknownSubProperty", kHead + B("\x0BOptions.Zap\x02\x01"), {"Item.Options.Zap", "offset 32"}},
        BadForm{"PathThroughNonObject",
                kHead + B("\x07"
                          "Count.X\x02\x01"),
                {"Item.Count.X", "path"}},
        BadForm{"StringForInteger",
                kHead + B("\x05"
                          "Count\x06\x01x"),
                {"Item.Count", "Invalid"}},
        BadForm{"Int64ForInteger",
                kHead +
                    B("\x05"
                      "Count\x13") +
                    std::string(8, '\0'),
                {"Item.Count"}},
        BadForm{"IntegerForBoolean",
                kHead + B("\x04"
                          "Flag\x02\x01"),
                {"Item.Flag"}},
        BadForm{"UnknownEnumIdent",
                kHead + B("\x04"
                          "Kind\x07\x03pkX"),
                {"Item.Kind"}},
        BadForm{"UnknownSetMember", kHead + B("\x06Styles\x0B\x03psX\0"), {"Item.Styles"}},
        BadForm{"UnknownCursorIdent",
                kHead + B("\x06"
                          "Cursor\x07\x03"
                          "crX"),
                {"Item.Cursor"}},
        BadForm{"NegativeInt64ForCardinal", kHead + B("\x04Size\x13\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"), {"Item.Size"}},
        BadForm{"MethodNotPublished", kHead + B("\x08OnChange\x07\x03Zap"), {"Item.OnChange", "Zap"}},
        BadForm{
            "MethodWithOtherArguments", kHead + B("\x08OnChange\x07\x05Other"), {"Item.OnChange", "does not match"}},
        BadForm{"UnresolvedReference", kHead + B("\x04Link\x07\x05Ghost\0\0\0\0"), {"Item.Link", "Ghost", "offset 32"}},
        BadForm{"IntegerForSubObject", kHead + B("\x07Options\x02\x01"), {"Item.Options"}},
        BadForm{"AbsurdStringLength",
                kHead + B("\x07"
                          "Caption\x0C\xFF\xFF\xFF\x7F"),
                {"Item.Caption", "exceeds"}},
        BadForm{"AbsurdWideLength",
                kHead + B("\x07"
                          "Caption\x12\xFF\xFF\xFF\xFF"),
                {"Item.Caption", "exceeds"}},
        BadForm{"AbsurdBinaryLength",
                kHead + B("\x04"
                          "Blob\x0A\xF0\xFF\xFF\xFF"),
                {"Item.Blob", "exceeds"}},
        BadForm{"TextForBinary",
                kHead + B("\x04"
                          "Blob\x06\x01x"),
                {"Item.Blob", "Invalid"}},
        BadForm{"UnknownValueType",
                kHead + B("\x05"
                          "Count\x40"),
                {"Item.Count"}},
        BadForm{"DuplicateComponentName",
                B("TPF0\x09TPeerRoot\x01R\0\x09TPeerItem\x01X\0\0\x09TPeerItem\x01X\0\0\0\0"),
                {"X (TPeerItem)", "already exists", "offset 31"}},
        BadForm{"ChildPositionBeyond32Bits",
                B("TPF0\x09TPeerRoot\x01R\0\xF2\x13\0\0\0\0\x01\0\0\0\x09TPeerItem\x04Wide\0\0\0"),
                {"Wide (TPeerItem)", "32 bits", "offset 17"}},
        BadForm{"InvalidComponentName",
                B("TPF0\x09TPeerRoot\x01R\0\x09TPeerItem\x02"
                  "1X\0\0\0\0"),
                {"1X", "not a valid"}},
        BadForm{"DeeplyNested",
                [] {
                  std::string s = B("TPF0\x09TPeerRoot\x01R\0");
                  for (int i = 0; i < 300; ++i) s += B("\x09TPeerItem\0\0");
                  return s;
                }(),
                {"nested too deeply"}}),
    [](const auto& info) {
      std::string n;
      for (char c : std::string(info.param.name))
        if (std::isalnum(static_cast<unsigned char>(c))) n += c;
      return n;
    });

// Every truncation of a valid form fails cleanly, with an offset, for the reader and for the
// text converter.
TEST(FormErrorsTruncated, EveryPrefixOfAValidFormIsRejected) {
  RegisterPeerClasses();
  auto sample = PeerSample();
  TMemoryStream full;
  WriteForm(full, *sample);
  const std::string bytes = full.Bytes();
  for (size_t n = 0; n < bytes.size(); ++n) {
    TMemoryStream in(bytes.substr(0, n));
    EXPECT_THROW(ReadForm(in), EFormReadError) << n;
    TMemoryStream again(bytes.substr(0, n)), text;
    EXPECT_THROW(ObjectBinaryToText(again, text), EReadError) << n;
  }
}

TEST(FormErrorsTruncated, ReadingIntoAnExistingRootKeepsWhatWasReadAndClearsTheFlags) {
  RegisterPeerClasses();
  TPeerRoot root(nullptr);
  TMemoryStream in(kHead + B("\x05"
                             "Count\x02\x07\x04Nope\x02\x01"));
  EXPECT_THROW(ReadForm(in, root), EFormReadError);
  auto* item = dynamic_cast<TPeerItem*>(root.FindComponent("Item"));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Count, 7);
  EXPECT_FALSE(root.IsLoading());
}
}  // namespace
