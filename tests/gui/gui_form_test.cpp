// Form streaming of the framework's controls without a display: properties read from text
// forms, identifier conversions, defaults on writing, picture data and browser addresses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "gui/ExtCtrls.h"
#include "core/FormStreaming.h"
#include "gui/Forms.h"
#include "gui/GuiClasses.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"
#include "gui/StdCtrls.h"
#include "gui/WebBrowser.h"
#include "platform/hostpath.h"

namespace {

// A form class with a handler, read from text instead of a resource.
class TProbeForm : public TForm {
  STOWAWAY_CLASS(TProbeForm, TForm)
  explicit TProbeForm(TComponent* owner) : TForm(owner) {}
  TLabel* Label1 = nullptr;
  TImage* Image1 = nullptr;
  TWebBrowser* WebBrowser1 = nullptr;
  int clicks = 0;
  void Image1Click(TObject*) { ++clicks; }
};

}  // namespace

const TClassInfo& TProbeForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TProbeForm>("TProbeForm")
                                     .Field("Label1", &TProbeForm::Label1)
                                     .Field("Image1", &TProbeForm::Image1)
                                     .Field("WebBrowser1", &TProbeForm::WebBrowser1)
                                     .Method("Image1Click", &TProbeForm::Image1Click)
                                     .Build();
  return info;
}

namespace {

// A 2 x 2 bitmap, 8 bits per pixel, two palette entries (red, blue).
std::string TinyBmp() {
  std::string b;
  auto p16 = [&](uint32_t v) { b += char(v & 0xFF), b += char(v >> 8); };
  auto p32 = [&](uint32_t v) { p16(v & 0xFFFF), p16(v >> 16); };
  const uint32_t dataAt = 14 + 40 + 8;
  b += "BM";
  p32(dataAt + 8);
  p32(0);
  p32(dataAt);
  p32(40);
  p32(2);
  p32(2);
  p16(1);
  p16(8);
  p32(0);
  p32(8);
  p32(0);
  p32(0);
  p32(2);
  p32(0);
  b += std::string("\x00\x00\xFF\x00", 4);  // entry 0 (blue, green, red, 0): red
  b += std::string("\xFF\x00\x00\x00", 4);  // entry 1: blue
  b += std::string("\x01\x00\x00\x00", 4);  // bottom row: blue, red
  b += std::string("\x00\x01\x00\x00", 4);  // top row: red, blue
  return b;
}

std::string Hex(const std::string& bytes) {
  static const char* h = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) out += h[c >> 4], out += h[c & 15];
  return out;
}

std::string PictureData(const std::string& bmp, bool withLength) {
  std::string d = "\x07TBitmap";
  if (withLength)
    for (int i = 0; i < 4; ++i) d += char((bmp.size() >> (8 * i)) & 0xFF);
  return d + bmp;
}

std::string FormText(const std::string& pictureHex) {
  return "object Probe: TProbeForm\n"
         "  Left = 248\n"
         "  Top = 147\n"
         "  BorderStyle = bsSingle\n"
         "  Caption = 'Installation'\n"
         "  ClientHeight = 344\n"
         "  ClientWidth = 711\n"
         "  Color = clWhite\n"
         "  Font.Charset = DEFAULT_CHARSET\n"
         "  Font.Color = clWindowText\n"
         "  Font.Height = -11\n"
         "  Font.Name = 'MS Sans Serif'\n"
         "  Font.Style = []\n"
         "  PixelsPerInch = 96\n"
         "  TextHeight = 13\n"
         "  object Image1: TImage\n"
         "    Left = 8\n"
         "    Top = 8\n"
         "    Width = 148\n"
         "    Height = 149\n"
         "    Cursor = crHandPoint\n"
         "    AutoSize = True\n"
         "    Picture.Data = {\n"
         "      " +
         pictureHex +
         "}\n"
         "    OnClick = Image1Click\n"
         "  end\n"
         "  object Label1: TLabel\n"
         "    Left = 328\n"
         "    Top = 16\n"
         "    Width = 378\n"
         "    Height = 22\n"
         "    Caption = 'Sie k'#246'nnen & loslegen!'\n"
         "    Color = clWhite\n"
         "    Font.Charset = ANSI_CHARSET\n"
         "    Font.Color = clNavy\n"
         "    Font.Height = -19\n"
         "    Font.Name = 'Arial'\n"
         "    Font.Style = [fsBold, fsItalic]\n"
         "    ParentColor = False\n"
         "    ParentFont = False\n"
         "  end\n"
         "  object WebBrowser1: TWebBrowser\n"
         "    Left = 168\n"
         "    Top = 56\n"
         "    Width = 529\n"
         "    Height = 225\n"
         "    TabOrder = 0\n"
         "    ControlData = {\n"
         "      4C000000AC36000041170000}\n"
         "  end\n"
         "end\n";
}

std::unique_ptr<TProbeForm> ReadProbe(const std::string& text) {
  RegisterGuiClasses();
  RegisterClass(TProbeForm::StaticClassInfo());
  auto form = std::make_unique<TProbeForm>(nullptr);
  TMemoryStream in(text);
  ReadFormText(in, *form);
  return form;
}

TEST(GuiFormStreaming, ReadsTheWindowAndItsControls) {
  auto form = ReadProbe(FormText(Hex(PictureData(TinyBmp(), true))));
  EXPECT_EQ(form->Caption(), "Installation");
  EXPECT_EQ(form->Left(), 248);
  EXPECT_EQ(form->Top(), 147);
  EXPECT_EQ(form->ClientWidth(), 711);
  EXPECT_EQ(form->ClientHeight(), 344);
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->Color(), clWhite);
  EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(form->Font()->Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(form->PixelsPerInch(), 96);
  EXPECT_EQ(form->TextHeight(), 13);

  ASSERT_TRUE(form->Label1 && form->Image1 && form->WebBrowser1);
  // Controls are placed on the form in reading order.
  EXPECT_THAT(form->Controls(), ::testing::ElementsAre(form->Image1, form->Label1, form->WebBrowser1));
  const TLabel& label = *form->Label1;
  EXPECT_EQ(label.Caption(), "Sie k\xF6nnen & loslegen!");  // as written: '&' is no accelerator
  EXPECT_FALSE(label.ParentColor());
  EXPECT_FALSE(label.ParentFont());
  EXPECT_EQ(label.DrawColor(), clWhite);
  EXPECT_EQ(label.DrawFont().Name(), "Arial");
  EXPECT_EQ(label.DrawFont().Height(), -19);
  EXPECT_EQ(label.DrawFont().PixelHeight(), 19);
  EXPECT_EQ(label.DrawFont().Color(), clNavy);
  EXPECT_EQ(label.DrawFont().Charset(), ANSI_CHARSET);
  EXPECT_EQ(label.DrawFont().Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_TRUE(label.AutoSize());
  EXPECT_EQ(label.Width(), 378);

  // AutoSize gives the image its picture's size.
  const TImage& image = *form->Image1;
  EXPECT_EQ(image.Cursor(), crHandPoint);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.Height(), 2);
  EXPECT_EQ(image.Picture()->Bitmap().Pixel(0, 0), 0xFF0000u);
  form->Image1->Click();
  EXPECT_EQ(form->clicks, 1);

  EXPECT_EQ(form->WebBrowser1->TabOrder(), 0);
  EXPECT_EQ(form->WebBrowser1->ControlData(), std::string("\x4C\0\0\0\xAC\x36\0\0\x41\x17\0\0", 12));
}

TEST(GuiFormStreaming, PictureDataWithoutItsLengthIsReadToo) {
  auto form = ReadProbe(FormText(Hex(PictureData(TinyBmp(), false))));
  EXPECT_EQ(form->Image1->Picture()->Bitmap().Bytes(), TinyBmp());
}

TEST(GuiFormStreaming, WritingGivesBackTheSameForm) {
  const std::string text = FormText(Hex(PictureData(TinyBmp(), true)));
  auto form = ReadProbe(text);
  TMemoryStream out;
  WriteFormText(out, *form);
  const std::string written = out.Bytes();
  // Label widths follow the text; everything else as read. The image took its picture's size.
  EXPECT_THAT(written, ::testing::HasSubstr("Caption = 'Sie k'#246'nnen & loslegen!'"));
  EXPECT_THAT(written, ::testing::HasSubstr("Cursor = crHandPoint"));
  EXPECT_THAT(written, ::testing::HasSubstr("Font.Charset = ANSI_CHARSET"));
  EXPECT_THAT(written, ::testing::HasSubstr("Font.Style = [fsBold, fsItalic]"));
  EXPECT_THAT(written, ::testing::HasSubstr("ParentColor = False"));
  EXPECT_THAT(written, ::testing::HasSubstr("OnClick = Image1Click"));
  EXPECT_THAT(written, ::testing::HasSubstr("ControlData = {"));
  EXPECT_THAT(written, ::testing::Not(::testing::HasSubstr("AutoSize = True\n    Caption")));  // label default
  // Read back, the second writing is identical.
  auto again = ReadProbe(written);
  TMemoryStream out2;
  WriteFormText(out2, *again);
  EXPECT_EQ(out2.Bytes(), written);
}

TEST(GuiFormStreaming, BadPictureDataNamesTheProperty) {
  const std::string notBmp = Hex(std::string("\x07TBitmap\x04\0\0\0XXXX", 16));
  try {
    ReadProbe(FormText(notBmp));
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("Picture.Data"));
  }
}

struct IdentCase {
  const char* type;
  const char* ident;
  int32_t value;
};

TEST(GuiIdentifiers, ConvertBothWaysIgnoringCase) {
  RegisterGuiClasses();
  const IdentCase cases[] = {
      {"TColor", "clWhite", 0xFFFFFF},
      {"TColor", "clNavy", 0x800000},
      {"TColor", "clWindowText", int32_t(0x80000008)},
      {"TColor", "clDefault", 0x20000000},
      {"TCursor", "crHandPoint", -21},
      {"TCursor", "crDefault", 0},
      {"TCursor", "crSizeAll", -22},
      {"TFontCharset", "ANSI_CHARSET", 0},
      {"TFontCharset", "DEFAULT_CHARSET", 1},
      {"TFontCharset", "OEM_CHARSET", 255},
  };
  for (const IdentCase& c : cases) {
    SCOPED_TRACE(c.ident);
    int32_t v = 12345;
    ASSERT_TRUE(FindIdentToInt(c.type)(c.ident, v));
    EXPECT_EQ(v, c.value);
    std::string upper = c.ident;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    ASSERT_TRUE(FindIdentToInt(c.type)(upper, v));
    EXPECT_EQ(v, c.value);
    std::string back;
    ASSERT_TRUE(FindIntToIdent(c.type)(c.value, back));
    EXPECT_EQ(back, c.ident);
  }
  int32_t v;
  std::string s;
  EXPECT_FALSE(FindIdentToInt("TCursor")("crLinkSelect", v));
  EXPECT_FALSE(FindIntToIdent("TCursor")(-150, s));
  EXPECT_FALSE(FindIdentToInt("TColor")("clOrange", v));
}

TEST(GuiIdentifiers, DrawnColours) {
  EXPECT_EQ(ColorToRGB(clNavy), 0x000080u);
  EXPECT_EQ(ColorToRGB(clRed), 0xFF0000u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
  EXPECT_EQ(ColorToRGB(clNone, 0x123456), 0x123456u);
  EXPECT_EQ(CursorCssName(crHandPoint), "pointer");
  EXPECT_EQ(CursorCssName(crDefault), "");
}

class BrowserAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = std::filesystem::temp_directory_path() / ("stowaway-gui-" + std::to_string(getpid()));
    std::filesystem::create_directories(prefix_);
    setenv("STOWAWAY_PREFIX", prefix_.string().c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(prefix_); }
  std::filesystem::path prefix_;
};

TEST_F(BrowserAddressTest, WindowsPathsBecomeFileUrisOfTheMappedPath) {
  const std::string unixPath = WindowsPathToUnix("C:\\users");
  if (unixPath == "C:\\users") {
    // A Windows host maps nothing: file: URIs of the Windows paths themselves.
    EXPECT_EQ(BrowserAddressToUri(u"C:\\users\\Sch\u00F6ne Seite.html"), "file:///C:/users/Sch%C3%B6ne%20Seite.html");
    EXPECT_EQ(BrowserAddressToUri(u"\\\\server\\share\\a#b.html"), "file://server/share/a%23b.html");
  } else {
    EXPECT_EQ(BrowserAddressToUri(u"C:\\users\\Sch\u00F6ne Seite.html"),
              "file://" + unixPath + "/Sch%C3%B6ne%20Seite.html");
    EXPECT_EQ(BrowserAddressToUri(u"Z:\\tmp\\a#b.html"), "file:///tmp/a%23b.html");
    EXPECT_THROW(BrowserAddressToUri(u"Q:\\nowhere.html"), Exception);
  }
  EXPECT_EQ(BrowserAddressToUri(u"https://www.example.com/\u20AC?q=1"), "https://www.example.com/\xE2\x82\xAC?q=1");
  EXPECT_THROW(BrowserAddressToUri(u"C:\\\u4E2D.html"), Exception);  // no Windows-1252 form
}

TEST(GuiText, Utf16AndUtf8RoundTrip) {
  const std::u16string samples[] = {u"", u"abc", u"k\u00F6nnen", u"\u20AC \U0001F600"};
  for (const auto& s : samples) EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong
}

}  // namespace
