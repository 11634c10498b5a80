// Binary form reading and writing: exact bytes, round trips, Loaded, events and fields.
#include <gtest/gtest.h>

#include <cstring>

#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "core/Reader.h"
#include "peer_classes.h"

namespace {
// A component class whose name is 240 characters long: its length byte looks like a flags prefix.
class LongNamed : public TComponent {
  STOWAWAY_CLASS(LongNamed, TComponent)
  explicit LongNamed(TComponent* owner) : TComponent(owner) {}
};
}  // namespace

const TClassInfo& LongNamed::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<LongNamed>("L" + std::string(239, 'n')).Build();
  return info;
}

namespace {
// A byte string from a literal, embedded NULs included.
template <size_t N>
std::string B(const char (&s)[N]) {
  return std::string(s, N - 1);
}
std::string Bytes(TComponent& root) {
  TMemoryStream out;
  WriteForm(out, root);
  return out.Bytes();
}

class FormBinary : public ::testing::Test {
 protected:
  void SetUp() override { RegisterPeerClasses(); }
};

TEST_F(FormBinary, WritesTheFramingByteForByte) {
  TPeerRoot root(nullptr);
  root.SetName("R");
  root.Title = "x";
  auto* item = new TPeerItem(&root);
  item->SetName("I");
  item->Count = -200;
  item->Blob.WriteString("AB");
  const std::string expected = std::string("TPF0") + "\x09TPeerRoot" + "\x01R" + "\x05Title\x06\x01x" + '\0' +
                               "\x09TPeerItem\x01I" +
                               "\x05"
                               "Count\x03\x38\xFF" +
                               B("\x04"
                                 "Blob\x0A\x02\0\0\0AB") +
                               '\0' + '\0' + '\0';
  EXPECT_EQ(Hex(Bytes(root)), Hex(expected));
}

TEST_F(FormBinary, SmallestFittingIntegers) {
  struct Case {
    int64_t value;
    std::string bytes;
  };
  const Case cases[] = {{127, "\x02\x7F"},
                        {-128, B("\x02\x80")},
                        {128, B("\x03\x80\x00")},
                        {-32769, B("\x04\xFF\x7F\xFF\xFF")},
                        {int64_t{1} << 31, B("\x13\0\0\0\x80\0\0\0\0")}};
  for (const Case& c : cases) {
    TPeerRoot root(nullptr);
    auto* item = new TPeerItem(&root);
    item->Big = c.value;
    std::string all = Bytes(root);
    std::string prop = std::string(
                           "\x03"
                           "Big") +
                       c.bytes;
    EXPECT_NE(all.find(prop), std::string::npos) << c.value;
  }
}

TEST_F(FormBinary, RoundTripRestoresEveryPropertyAndCallsLoadedLast) {
  auto sample = PeerSample();
  std::string bytes = Bytes(*sample);
  TMemoryStream in(bytes);
  std::unique_ptr<TComponent> read = ReadForm(in);
  auto* root = dynamic_cast<TPeerRoot*>(read.get());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(PeerDump(*root), PeerDump(*sample));
  EXPECT_EQ(Bytes(*root), bytes);
  // Loaded ran once everything was in place, the reference to a later... and earlier component included.
  auto* b = dynamic_cast<TPeerItem*>(root->FindComponent("ItemB"));
  auto* a = dynamic_cast<TPeerItem*>(root->FindComponent("ItemA"));
  EXPECT_EQ(b->SeenAtLoaded.substr(b->SeenAtLoaded.find(" Link=")), " Link=ItemA Blob=0 Loading=0 Change=0");
  EXPECT_EQ(a->SeenAtLoaded.substr(a->SeenAtLoaded.find(" Link=")), " Link=nil Blob=70 Loading=0 Change=1");
  EXPECT_EQ(root->ItemA, a);
  EXPECT_FALSE(root->IsLoading());
  // The events are bound to the root's methods.
  a->OnChange(a);
  EXPECT_EQ(root->changes, 1);
}

TEST_F(FormBinary, ReadsIntoAnExistingRootAndResolvesForwardReferences) {
  TPeerRoot root(nullptr);
  auto sample = PeerSample();
  // ItemA refers to ItemC, which is read after it.
  dynamic_cast<TPeerItem*>(sample->FindComponent("ItemA"))->Link = sample->FindComponent("ItemC");
  TMemoryStream in(Bytes(*sample));
  ReadForm(in, root);
  EXPECT_EQ(root.Name(), "PeerRoot1");
  EXPECT_EQ(root.ComponentCount(), 3);
  EXPECT_EQ(dynamic_cast<TPeerItem*>(root.FindComponent("ItemA"))->Link, root.FindComponent("ItemC"));
  EXPECT_EQ(root.Title, "Root 'title'");
}

TEST_F(FormBinary, ReadsWideAndUtf8StringsAsWindows1252) {
  // Caption as vaWString "k€ö" and Options.Inner.Path as vaUTF8String "€ü".
  std::string form = B("TPF0\x09TPeerRoot\x01R\0\x09TPeerItem\x01I") +
                     B("\x07"
                       "Caption\x12\x03\0\0\0k\0\xAC\x20\xF6\0") +
                     B("\x12Options.Inner.Path\x14\x05\0\0\0\xE2\x82\xAC\xC3\xBC") + B("\0\0\0");
  TMemoryStream in(form);
  auto root = ReadForm(in);
  auto* item = dynamic_cast<TPeerItem*>(root->FindComponent("I"));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Caption, "k\x80\xF6");
  EXPECT_EQ(item->Options.Inner.Path, "\x80\xFC");
}
TEST_F(FormBinary, AClassNameOf240CharactersReadsBack) {
  RegisterClass(LongNamed::StaticClassInfo());
  TPeerRoot root(nullptr);
  (new LongNamed(&root))->SetName("Long1");
  std::string bytes = Bytes(root);
  EXPECT_NE(bytes.find(B("\0\xF0\xF0L")), std::string::npos);  // empty prefix, then the length
  TMemoryStream in(bytes);
  auto read = ReadForm(in);
  ASSERT_NE(read->FindComponent("Long1"), nullptr);
  EXPECT_EQ(read->FindComponent("Long1")->ClassInfo(), &LongNamed::StaticClassInfo());
}

TEST_F(FormBinary, ReferencesToAComponentNamedOwnerFindItBeforeTheRoot) {
  struct Case {
    const char* child;  // the name of the second item, "" for none
    const char* link;   // the text of ItemA's Link
    const char* expected;
  };
  const Case cases[] = {{"Owner", "Owner", "Owner"}, {"Other", "Owner", "R"}, {"Owner", "Other", "?"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link + std::string(" with ") + c.child);
    std::string form = B("TPF0\x09TPeerRoot\x01R\0\x09TPeerItem\x05ItemA\x04Link\x07") +
                       static_cast<char>(std::strlen(c.link)) + c.link + B("\0\0\x09TPeerItem") +
                       static_cast<char>(std::strlen(c.child)) + c.child + B("\0\0\0");
    TMemoryStream in(form);
    if (std::string(c.expected) == "?") {
      EXPECT_THROW(ReadForm(in), EFormReadError);
      continue;
    }
    auto root = ReadForm(in);
    TComponent* link = dynamic_cast<TPeerItem*>(root->FindComponent("ItemA"))->Link;
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Name(), c.expected);
  }
}

TEST_F(FormBinary, EventsBoundToMethodsTheRootDoesNotPublishAreNotWritten) {
  struct Case {
    const char* method;
    bool written;
  };
  // "Other" is published with other arguments; "Missing" is not published at all.
  const Case cases[] = {{"ItemChange", true}, {"Other", false}, {"Missing", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    TPeerRoot root(nullptr);
    auto* item = new TPeerItem(&root);
    item->SetName("I");
    item->OnChange.Bind(&root, &TPeerRoot::ItemChange, c.method);
    std::string bytes = Bytes(root);
    EXPECT_EQ(bytes.find("OnChange") != std::string::npos, c.written);
    TMemoryStream in(bytes);
    EXPECT_NO_THROW(ReadForm(in));
  }
}
}  // namespace
