// The published property model: order and streaming flags, a form holding the component, and
// the "Name = value" listing.
#include <gmock/gmock.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "core/SetOf.h"
#include "sysinfo/acPublishedProperties.h"
#include "sysinfo_fixture.h"

namespace {

class TSysInfoTestForm : public TComponent {
  STOWAWAY_CLASS(TSysInfoTestForm, TComponent)
  using TComponent::TComponent;
};

// A persistent with one property of every ordinal kind and a text, to compare the listing
// with the text form writer.
enum TTestColour { tcRed, tcGreen, tcBlue };
const TTypeNames TTestColourNames("TTestColour", {"tcRed", "tcGreen", "tcBlue"});

class TListingSample : public TPersistent {
  STOWAWAY_CLASS(TListingSample, TPersistent)
  int32_t Number = 0;
  uint32_t Size = 0;
  int64_t Big = 0;
  bool Flag = false;
  TTestColour Colour = tcRed;
  TSet<TTestColour> Colours;
  std::string Text;
};

class TListingOwner : public TComponent {
  STOWAWAY_CLASS(TListingOwner, TComponent)
  using TComponent::TComponent;
  TListingSample* Sample() const { return sample_.get(); }
  std::string Caption;

 private:
  std::unique_ptr<TListingSample> sample_ = std::make_unique<TListingSample>();
};

}  // namespace

const TClassInfo& TSysInfoTestForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSysInfoTestForm>("TSysInfoTestForm").Build();
  return info;
}

const TClassInfo& TListingSample::StaticClassInfo() {
  using S = TListingSample;
  static const TClassInfo info = TClassBuilder<S>("TListingSample")
                                     .Integer("Number", &S::Number, &S::Number)
                                     .Cardinal("Size", &S::Size, &S::Size)
                                     .Int64("Big", &S::Big, &S::Big)
                                     .Boolean("Flag", &S::Flag, &S::Flag)
                                     .Enum("Colour", TTestColourNames, &S::Colour, &S::Colour)
                                     .Set("Colours", TTestColourNames, &S::Colours, &S::Colours)
                                     .String("Text", &S::Text, &S::Text)
                                     .Build();
  return info;
}

const TClassInfo& TListingOwner::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TListingOwner>("TListingOwner")
                                     .String("Caption", &TListingOwner::Caption, &TListingOwner::Caption)
                                     .Object("Sample", &TListingOwner::Sample)
                                     .Build();
  return info;
}

namespace {

using ::testing::ElementsAreArray;

const std::vector<std::string> kPublished = {"Name",
                                             "Tag",
                                             "About",
                                             "ALLOW_EDIT",
                                             "ComputerDescription",
                                             "ComputerName",
                                             "ComputerWorkgroup",
                                             "CurrentUserName",
                                             "WinDirectXVersion",
                                             "DefaultBrowser",
                                             "DirAppData",
                                             "DirAppDataAll",
                                             "DirCache",
                                             "DirCookies",
                                             "DirCommonFiles",
                                             "DirDesktop",
                                             "DirFavorites",
                                             "DirFavoritesAll",
                                             "DirFonts",
                                             "DirHistory",
                                             "DirMedia",
                                             "DirMyPictures",
                                             "DirNetHood",
                                             "DirPersonal",
                                             "DirPrintHood",
                                             "DirProgramFiles",
                                             "DirPrograms",
                                             "DirProgramsAll",
                                             "DirRecent",
                                             "DirSendTo",
                                             "DirStartMenu",
                                             "DirStartMenuAll",
                                             "DirStartup",
                                             "DirStartupAll",
                                             "DirSystem",
                                             "DirTemp",
                                             "DirTemplates",
                                             "DirTemplatesAll",
                                             "DirWindows",
                                             "DiskCSerialNumber",
                                             "DiskCSerialNumberStr",
                                             "InternetStatus",
                                             "MemAvailPhisical",
                                             "MemTotalPhisical",
                                             "MemAvailVirtual",
                                             "MemTotalVirtual",
                                             "MemLoad",
                                             "OSVersion",
                                             "OwnerName",
                                             "OwnerCompany",
                                             "CPUIdentifier",
                                             "CPUVendor",
                                             "CPUArchitecture",
                                             "CPUsNumber",
                                             "CPUType",
                                             "CPUFrequency",
                                             "ScreenColorMode",
                                             "ScreenResolution",
                                             "ScreenSaver",
                                             "SystemUpTime",
                                             "SystemPathes",
                                             "WinNT",
                                             "WinProductID",
                                             "WinProductName",
                                             "WinVersion",
                                             "WinVersionBuild",
                                             "WinVersionMajor",
                                             "WinVersionMinor",
                                             "WinVersionNumber",
                                             "WinVersionSubNumber"};

// The kinds of the properties that are not texts, with the type of the enumerations.
struct OrdinalKind {
  const char* name;
  TPropKind kind;
  const char* typeName;
};
const OrdinalKind kOrdinals[] = {
    {"DiskCSerialNumber", TPropKind::Integer, nullptr},
    {"InternetStatus", TPropKind::Enumeration, "TacInternetStatus"},
    {"MemAvailPhisical", TPropKind::Cardinal, nullptr},
    {"MemTotalPhisical", TPropKind::Cardinal, nullptr},
    {"MemAvailVirtual", TPropKind::Cardinal, nullptr},
    {"MemTotalVirtual", TPropKind::Cardinal, nullptr},
    {"MemLoad", TPropKind::Integer, nullptr},
    {"OSVersion", TPropKind::Enumeration, "TacOSVersion"},
    {"CPUArchitecture", TPropKind::Enumeration, "TacCPUArchitecture"},
    {"CPUsNumber", TPropKind::Integer, nullptr},
    {"CPUType", TPropKind::Enumeration, "TacCPUType"},
    {"CPUFrequency", TPropKind::Integer, nullptr},
    {"ScreenColorMode", TPropKind::Enumeration, "TacScreenColorMode"},
    {"ScreenResolution", TPropKind::Enumeration, "TacScreenResolution"},
    {"SystemUpTime", TPropKind::Integer, nullptr},
    {"WinNT", TPropKind::Boolean, nullptr},
    {"WinVersionBuild", TPropKind::Integer, nullptr},
    {"WinVersionMajor", TPropKind::Integer, nullptr},
    {"WinVersionMinor", TPropKind::Integer, nullptr},
};

const OrdinalKind* FindOrdinal(const std::string& name) {
  for (const OrdinalKind& k : kOrdinals)
    if (name == k.name) return &k;
  return nullptr;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string FormText(TComponent& root) {
  TMemoryStream out;
  WriteFormText(out, root);
  return out.Bytes();
}

class PropertiesTest : public SystemInfoTest {};

TEST_F(PropertiesTest, PublishedInDeclarationOrderOnlyAllowEditStored) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TacSystemInfo::StaticClassInfo().Properties()) {
    names.push_back(p->Name);
    if (p->Name == "Name" || p->Name == "Tag" || p->Name == "About") continue;
    SCOPED_TRACE(p->Name);
    if (p->Name == "ALLOW_EDIT") {
      EXPECT_EQ(p->Kind, TPropKind::Boolean);
      EXPECT_TRUE(p->IsStored(*info));
      EXPECT_EQ(p->OrdDefault, 0);
    } else if (const OrdinalKind* ordinal = FindOrdinal(p->Name)) {
      EXPECT_EQ(p->Kind, ordinal->kind);
      if (ordinal->typeName) {
        ASSERT_NE(p->Names, nullptr);
        EXPECT_EQ(p->Names->TypeName(), ordinal->typeName);
      }
      EXPECT_FALSE(p->IsStored(*info));
      EXPECT_TRUE(p->SetOrd);  // every property has a setter
    } else {
      EXPECT_EQ(p->Kind, TPropKind::String);
      EXPECT_FALSE(p->IsStored(*info));
      EXPECT_TRUE(p->SetStr);
    }
  }
  EXPECT_THAT(names, ElementsAreArray(kPublished));
}

TEST_F(PropertiesTest, FormCarriesOnlyAllowEditAndOnlyWhenOn) {
  RegisterSystemInfoClasses();
  RegisterClass(TSysInfoTestForm::StaticClassInfo());
  // The stream also names facts; loading must neither write them nor show anything.
  PutReg(HKEY_CURRENT_USER, kSF, "Favorites", "C:\\Favorites");
  const std::string source =
      "object Form1: TSysInfoTestForm\n"
      "  object acSystemInfo1: TacSystemInfo\n"
      "    ALLOW_EDIT = True\n"
      "    DirFavorites = 'C:\\Elsewhere'\n"
      "    DirTemp = 'C:\\Elsewhere'\n"
      "  end\n"
      "end\n";
  TMemoryStream in(source);
  std::unique_ptr<TComponent> form = ReadFormText(in);
  ASSERT_EQ(form->ComponentCount(), 1);
  auto* loaded = dynamic_cast<TacSystemInfo*>(form->Components(0));
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->ALLOW_EDIT);
  EXPECT_FALSE(loaded->IsLoading());
  EXPECT_EQ(Reg(HKEY_CURRENT_USER, kSF, "Favorites"), "C:\\Favorites");
  EXPECT_TRUE(shown.empty());

  EXPECT_EQ(FormText(*form),
            "object Form1: TSysInfoTestForm\n"
            "  object acSystemInfo1: TacSystemInfo\n"
            "    ALLOW_EDIT = True\n"
            "  end\n"
            "end\n");

  // Once loaded, the switch works at run time.
  loaded->SetDirFavorites("C:\\Now");
  EXPECT_EQ(Reg(HKEY_CURRENT_USER, kSF, "Favorites"), "C:\\Now");

  loaded->ALLOW_EDIT = false;
  EXPECT_EQ(FormText(*form),
            "object Form1: TSysInfoTestForm\n"
            "  object acSystemInfo1: TacSystemInfo\n"
            "  end\n"
            "end\n");
}

TEST_F(PropertiesTest, ListingHasEveryPropertyInOrderWithItsValue) {
  PutReg(HKEY_CURRENT_USER, kSF, "Favorites", "C:\\It's \xc4rger\\");
  info->SetTag(-7);
  std::ostringstream out;
  WritePublishedProperties(*info, out);
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), kPublished.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, lines[i].find(" = ")), kPublished[i]);
  EXPECT_EQ(lines[0], "Name = 'acSystemInfo1'");
  EXPECT_EQ(lines[1], "Tag = -7");
  EXPECT_EQ(lines[2], "About = ''");
  EXPECT_EQ(lines[3], "ALLOW_EDIT = False");
  EXPECT_EQ(lines[16], "DirFavorites = 'C:\\It''s '#196'rger\\'");
  EXPECT_EQ(lines[35], "DirTemp = " + FormTextQuoted(info->GetDirTemp()));
}

// The listing writes values as the text form does: compared line by line with the writer on
// values that differ from their defaults (so the writer writes all of them).
TEST(PublishedListing, ValuesAsInTheTextForm) {
  const std::string texts[] = {"plain", "it's",    "'",          "a\r\nb", "\tTab",    "K\xf6ln",
                               "\x7f",  "end\x80", "''quoted''", "#1",     "\xff\xfe", "x'\x01'y"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    TListingOwner owner(nullptr);
    owner.SetName("Owner1");
    owner.Caption = text;
    TListingSample& s = *owner.Sample();
    s.Number = -123456;
    s.Size = 4000000;
    s.Big = int64_t{1} << 40;
    s.Flag = true;
    s.Colour = tcBlue;
    s.Colours = {tcRed, tcBlue};
    s.Text = text;

    std::vector<std::string> formLines = Lines(FormText(owner));
    ASSERT_GE(formLines.size(), 3u);
    // Drop "object ...", "end" and the indentation.
    std::vector<std::string> expected;
    for (size_t i = 1; i + 1 < formLines.size(); ++i) expected.push_back(formLines[i].substr(2));

    std::ostringstream out;
    WritePublishedProperties(owner, out);
    std::vector<std::string> listed = Lines(out.str());
    // The listing also has Name (not stored) and Tag (default 0, not written).
    ASSERT_GE(listed.size(), 2u);
    EXPECT_EQ(listed[0], "Name = 'Owner1'");
    EXPECT_EQ(listed[1], "Tag = 0");
    listed.erase(listed.begin(), listed.begin() + 2);
    EXPECT_THAT(listed, ElementsAreArray(expected));
  }
}

TEST(PublishedListing, EmptyAndUnsignedValues) {
  TListingOwner owner(nullptr);
  owner.Sample()->Size = 4000000000u;
  std::ostringstream out;
  WritePublishedProperties(owner, out);
  const std::vector<std::string> lines = Lines(out.str());
  EXPECT_THAT(lines, ::testing::Contains("Caption = ''"));
  EXPECT_THAT(lines, ::testing::Contains("Sample.Size = 4000000000"));
  EXPECT_THAT(lines, ::testing::Contains("Sample.Colours = []"));
  EXPECT_THAT(lines, ::testing::Contains("Sample.Colour = tcRed"));
  EXPECT_EQ(FormTextQuoted(""), "''");
}

}  // namespace
