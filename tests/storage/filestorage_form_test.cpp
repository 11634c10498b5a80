// A storage inside a form: which settings are written, "StoredData" only when there are files,
// and reading the form back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"
#include "core/ViewStream.h"
#include "storage/acFileStorage.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class TStorageTestForm : public TComponent {
  STOWAWAY_CLASS(TStorageTestForm, TComponent)
  using TComponent::TComponent;
};

}  // namespace

const TClassInfo& TStorageTestForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TStorageTestForm>("TStorageTestForm").Build();
  return info;
}

namespace {

struct FormWithStorage {
  std::unique_ptr<TStorageTestForm> form = std::make_unique<TStorageTestForm>(nullptr);
  TacFileStorage* storage;

  FormWithStorage() {
    RegisterStorageClasses();
    RegisterClass(TStorageTestForm::StaticClassInfo());
    form->SetName("Form1");
    storage = new TacFileStorage(form.get());
    storage->SetName("acFileStorage1");
  }
};

std::string Text(TComponent& root) {
  TMemoryStream out;
  WriteFormText(out, root);
  return out.Bytes();
}

std::string HexOf(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string TwoFileContainer() {
  TacFileStorage source(nullptr);
  TStoredFile* a = new TStoredFile(nullptr);
  a->FileName = "page.html";
  a->SetContent("<html>Noch ein Mausklick</html>");
  TStoredFile* b = new TStoredFile(nullptr);
  b->FileName = "setup.exe";
  b->SetContent(std::string(5000, '\0') + "MZ");
  TMemoryStream s;
  s.WriteString("SFP1");
  s.WriteDWord(2);
  a->WriteToStream(s);
  b->WriteToStream(s);
  delete a;
  delete b;
  return s.Bytes();
}

}  // namespace

TEST(FileStorageForm, DefaultsAndAnEmptyStorageWriteNothing) {
  FormWithStorage f;
  std::string text = Text(*f.form);
  EXPECT_EQ(text,
            "object Form1: TStorageTestForm\n"
            "  object acFileStorage1: TacFileStorage\n"
            "  end\n"
            "end\n");
}

TEST(FileStorageForm, InstallerSettingsAndFilesRoundTrip) {
  FormWithStorage f;
  TAutoExtract* ae = f.storage->AutoExtract();
  ae->SetEnabled(true);
  ae->ExtractTo()->CreatePath = false;
  ae->ExtractTo()->ToplevelDir = tdTempDir;
  ae->RemoveOnTerminate = true;
  f.storage->SetDesignLeft(8);
  f.storage->SetDesignTop(16);
  f.storage->About = "never written";
  TMemoryStream container(TwoFileContainer());
  f.storage->ReadStoredData(container);

  std::string text = Text(*f.form);
  EXPECT_THAT(text, HasSubstr("  object acFileStorage1: TacFileStorage\n"
                              "    AutoExtract.Enabled = True\n"
                              "    AutoExtract.ExtractTo.CreatePath = False\n"
                              "    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n"
                              "    AutoExtract.RemoveOnTerminate = True\n"
                              "    Left = 8\n"
                              "    Top = 16\n"
                              "    StoredData = {\n"
                              "      53465031"));
  EXPECT_THAT(text, Not(HasSubstr("About")));
  EXPECT_THAT(text, Not(HasSubstr("Count")));
  EXPECT_THAT(text, Not(HasSubstr("DataSize")));

  for (bool binary : {false, true}) {
    SCOPED_TRACE(binary ? "binary" : "text");
    TMemoryStream stream;
    if (binary)
      WriteForm(stream, *f.form);
    else
      stream.WriteString(text);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> copy = binary ? ReadForm(stream) : ReadFormText(stream);
    auto* storage = dynamic_cast<TacFileStorage*>(copy->FindComponent("acFileStorage1"));
    ASSERT_NE(storage, nullptr);
    EXPECT_TRUE(storage->AutoExtract()->Enabled());
    EXPECT_FALSE(storage->AutoExtract()->ExtractTo()->CreatePath);
    EXPECT_EQ(storage->AutoExtract()->ExtractTo()->ToplevelDir, tdTempDir);
    EXPECT_TRUE(storage->AutoExtract()->RemoveOnTerminate);
    EXPECT_EQ(storage->AutoExtract()->Overwrite, owIfSizeDifferent);
    EXPECT_TRUE(storage->PackedContainer);
    ASSERT_EQ(storage->Count(), 2);
    EXPECT_EQ(storage->File(0)->FileName, "page.html");
    EXPECT_EQ(storage->File(1)->Content(), std::string(5000, '\0') + "MZ");
    EXPECT_EQ(Text(*copy), text);
  }
}

TEST(FileStorageForm, CountAndDataSizeIgnoreAssignments) {
  FormWithStorage f;
  TMemoryStream container(TwoFileContainer());
  f.storage->ReadStoredData(container);
  const TClassInfo& info = TacFileStorage::StaticClassInfo();
  for (const char* name : {"Count", "DataSize"}) {
    const TPropInfo* p = info.FindProperty(name);
    ASSERT_NE(p, nullptr) << name;
    int64_t before = p->GetOrd(*f.storage);
    p->SetOrd(*f.storage, 12345);
    EXPECT_EQ(p->GetOrd(*f.storage), before) << name;
  }
  EXPECT_EQ(f.storage->Count(), 2);
  EXPECT_EQ(f.storage->GetDataSize(), 31 + 5002);
}

TEST(FileStorageForm, CorruptStoredDataFailsTheFormRead) {
  FormWithStorage f;
  TMemoryStream container(TwoFileContainer());
  f.storage->ReadStoredData(container);
  std::string text = Text(*f.form);
  // Drop the container's last hex line: the second file's record is cut off.
  size_t end = text.find("\n    }");
  ASSERT_NE(end, std::string::npos);
  size_t lineStart = text.rfind('\n', end - 1) + 1;
  text.erase(lineStart, end - lineStart + 1);
  TMemoryStream stream;
  stream.WriteString(text);
  stream.SetPosition(0);
  try {
    ReadFormText(stream);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_THAT(e.what(), HasSubstr("acFileStorage1.StoredData"));
    EXPECT_THAT(e.what(), HasSubstr("cut off"));
  }
}

TEST(FileStorageForm, AFormReadInPlaceKeepsItsBytesAliveAndWritesBackTheSameBytes) {
  FormWithStorage f;
  TMemoryStream container(TwoFileContainer());
  f.storage->ReadStoredData(container);
  TMemoryStream written;
  WriteForm(written, *f.form);

  // The form's bytes are owned only by the view's keeper: the stored files must hold on to them.
  auto bytes = std::make_shared<std::string>(written.Bytes());
  TViewStream view(bytes->data(), static_cast<int64_t>(bytes->size()), bytes);
  const std::string expected = *bytes;
  bytes.reset();
  std::unique_ptr<TComponent> copy = ReadForm(view);
  auto* storage = dynamic_cast<TacFileStorage*>(copy->FindComponent("acFileStorage1"));
  ASSERT_NE(storage, nullptr);
  ASSERT_EQ(storage->Count(), 2);
  EXPECT_EQ(storage->File(0)->StoredSize(), 4 + 2 + 2 + 31);  // its packed stream, in place
  EXPECT_EQ(storage->File(1)->Content(), std::string(5000, '\0') + "MZ");
  TMemoryStream again;
  WriteForm(again, *copy);
  EXPECT_EQ(again.Bytes(), expected);
}

TEST(FileStorageForm, PublishesFilesBetweenDataSizeAndOnExtractButNeverStreamsIt) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TacFileStorage::StaticClassInfo().Properties()) names.push_back(p->Name);
  EXPECT_THAT(names, ::testing::ElementsAre("Name", "Tag", "About", "AutoExtract", "Count", "DataSize", "Files",
                                            "OnExtract", "OnExtracted"));

  FormWithStorage f;
  TMemoryStream container(TwoFileContainer());
  f.storage->ReadStoredData(container);
  f.storage->AutoExtract()->SetEnabled(true);
  const TPropInfo* files = TacFileStorage::StaticClassInfo().FindProperty("Files");
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(files->GetObject(*f.storage), f.storage->Files());
  EXPECT_FALSE(files->IsStored(*f.storage));

  // The binary form is byte for byte what it was before Files was published.
  TMemoryStream written;
  WriteForm(written, *f.form);
  EXPECT_EQ(HexOf(written.Bytes()),
            "54504630105453746f7261676554657374466f726d05466f726d31000e54616346696c6553746f726167650e616346696c6553"
            "746f7261676531134175746f457874726163742e456e61626c6564090a53746f726564446174610a6000000053465031020000"
            "0009000000706167652e68746d6c270000001f000000210000003c68746d6c3e4e6f63682065696e204d6175736b6c69636b3c"
            "2f68746d6c3e0900000073657475702e6578650f0000008a1300000900010001000087134d5a000000");

  // Writing the property replaces the list the storage holds.
  auto* replacement = new TStoredFileList;
  files->SetObject(*f.storage, replacement);
  EXPECT_EQ(f.storage->Files(), replacement);

  // A form cannot reach into the list: it has no published properties of its own.
  for (const char* line : {"Files.Count = 1", "Files.OwnsObjects = False"}) {
    TMemoryStream text;
    text.WriteString(std::string("object Form1: TStorageTestForm\n  object acFileStorage1: TacFileStorage\n    ") +
                     line + "\n  end\nend\n");
    text.SetPosition(0);
    EXPECT_THROW(ReadFormText(text), EReadError) << line;
  }
}
