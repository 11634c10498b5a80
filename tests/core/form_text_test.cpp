// Text forms: the converters both ways and reading / writing text forms directly.
#include <gtest/gtest.h>

#include "core/Exceptions.h"
#include "core/FormStreaming.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "form_convert.h"
#include "core/Reader.h"
#include "peer_classes.h"

namespace {
// A byte string from a literal, embedded NULs included.
template <size_t N>
std::string B(const char (&s)[N]) {
  return std::string(s, N - 1);
}
// What Free Pascal's ObjectBinaryToText makes of the peer's sample form.
const char* const kSampleText =
    "object PeerRoot1: TPeerRoot\n"
    "  Title = 'Root ''title'''\n"
    "  OnLoad = RootLoad\n"
    "  object ItemA: TPeerItem\n"
    "    Tag = 70000\n"
    "    Count = -5\n"
    "    Big = 1099511627776\n"
    "    Flag = True\n"
    "    Kind = pkBeta\n"
    "    Styles = [psBold, psUnderline]\n"
    "    Caption = 'Sie k'#246'nnen'#9'los!'\n"
    "    Size = -16\n"
    "    Cursor = crHandPoint\n"
    "    Ratio =  1.50000000000000000000E+0000\n"
    "    Options.Enabled = True\n"
    "    Options.Level = 0\n"
    "    Options.Inner.Mode = pkGamma\n"
    "    Options.Inner.Path = 'sub\\dir'\n"
    "    OnChange = ItemChange\n"
    "    Left = 200\n"
    "    Top = 300\n"
    "    Blob = {\n"
    "      00070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D9\n"
    "      E0E7EEF5FC030A11181F262D343B424950575E656C737A81888F969DA4ABB2B9\n"
    "      C0C7CED5DCE3\n"
    "    }\n"
    "  end\n"
    "  object ItemB: TPeerItem\n"
    "    Count = 40000\n"
    "    Caption = "
    "'bcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdef"
    "ghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijkl"
    "mnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmno'\n"
    "    Cursor = 7\n"
    "    Ratio = -1.00000000000000005551E-0001\n"
    "    Link = ItemA\n"
    "  end\n"
    "  object ItemC: TPeerItem\n"
    "    Count = 200\n"
    "    Big = -3000000000\n"
    "    Kind = pkAlpha\n"
    "  end\n"
    "end\n";

TEST(FormText, SampleAsFreePascalWritesIt) {
  RegisterPeerClasses();
  auto sample = PeerSample();
  TMemoryStream text;
  WriteFormText(text, *sample);
  EXPECT_EQ(text.Bytes(), kSampleText);
  // Back from text the caption holding #246 is a wide string, as Free Pascal makes it; it
  // reads back as the same 8-bit text.
  const std::string binary = ToBinary(kSampleText);
  EXPECT_NE(binary.find(B("\x07"
                          "Caption\x12\x0F\0\0\0S\0")),
            std::string::npos);
  TMemoryStream in(std::string{kSampleText});
  auto read = ReadFormText(in);
  EXPECT_EQ(PeerDump(dynamic_cast<TPeerRoot&>(*read)), PeerDump(*sample));
}

TEST(FormText, ValueSyntaxConvertsBothWays) {
  struct Case {
    const char* text;       // value as written in the text
    std::string binary;     // value bytes
    const char* canonical;  // text written back (nullptr: same as text)
  };
  const Case cases[] = {
      {"''", B("\x06\x00"), nullptr},
      {"'a''b'#13#10'c'",
       std::string("\x06\x06"
                   "a'b\r\nc"),
       nullptr},
      {"#39", std::string("\x06\x01'"), "''''"},
      {"'x' + 'y'", std::string("\x06\x02xy"), "'xy'"},
      {"'k'#246", B("\x12\x02\0\0\0k\0\xF6\0"), nullptr},
      {"'a' + #8364", B("\x12\x02\0\0\0a\0\xAC\x20"), "'a'#8364"},
      {"$7FFFFFFF", std::string("\x04\xFF\xFF\xFF\x7F"), "2147483647"},
      {"-9223372036854775808", B("\x13\0\0\0\0\0\0\0\x80"), nullptr},
      {"nIL", std::string("\x0D"), "nil"},
      {"TRUE", std::string("\x09"), "True"},
      {"Owner.Item1", std::string("\x07\x0BOwner.Item1"), nullptr},
      {"[]", B("\x0B\0"), nullptr},
      {"[a,b ]",
       B("\x0B\x01"
         "a\x01"
         "b\0"),
       "[a, b]"},
      {"(1 'x' (nil))", B("\x01\x02\x01\x06\x01x\x01\x0D\0\0"), "(\n    1\n    'x'\n    (\n      nil\n    )\n  )"},
      {"{ 0a0B\n ff }", B("\x0A\x03\0\0\0\x0A\x0B\xFF"), "{\n    0A0BFF\n  }"},
      {"{}", B("\x0A\0\0\0\0"), "{\n  }"},
      {"$00000000000000000000FF", B("\x03\xFF\0"), "255"},
      // Floating-point values: an extended of the double, whatever the suffix.
      {"1.5", B("\x05\0\0\0\0\0\0\0\xC0\xFF\x3F"), " 1.50000000000000000000E+0000"},
      {"2.5c", B("\x05\0\0\0\0\0\0\0\xA0\x00\x40"), " 2.50000000000000000000E+0000"},
      {"1.0d", B("\x05\0\0\0\0\0\0\0\x80\xFF\x3F"), " 1.00000000000000000000E+0000"},
      {"0.25s", B("\x05\0\0\0\0\0\0\0\x80\xFD\x3F"), " 2.50000000000000000000E-0001"},
      {"-1e3", B("\x05\0\0\0\0\0\0\0\xFA\x08\xC0"), "-1.00000000000000000000E+0003"},
      {"0.0", B("\x05\0\0\0\0\0\0\0\0\0\0"), " 0.00000000000000000000E+0000"},
      {"0.1", B("\x05\0\xD0\xCC\xCC\xCC\xCC\xCC\xCC\xFB\x3F"), " 1.00000000000000005551E-0001"},
      {"<\n  item\n    A = 1\n  end>",
       B("\x0E\x01\x01"
         "A\x02\x01\0\0"),
       "<  \n    item\n      A = 1\n    end>"},
  };
  for (const Case& c : cases) {
    std::string text = std::string("object X: T\n  P = ") + c.text + "\nend\n";
    std::string binary = B("TPF0\x01T\x01X\x01P") + c.binary + B("\0\0");
    EXPECT_EQ(Hex(ToBinary(text)), Hex(binary)) << c.text;
    std::string back = std::string("object X: T\n  P = ") + (c.canonical ? c.canonical : c.text) + "\nend\n";
    EXPECT_EQ(ToText(binary), back) << c.text;
  }
}

TEST(FormText, ObjectHeadersWithFlagsAndNestedObjects) {
  const std::string text =
      "inherited Form1: TForm1\n  object A: TA\n  end\n  inline B: TB [2]\n    object C: TC\n    end\n  end\n"
      "  object TNameless\n  end\nend\n";
  const std::string binary = B("TPF0\xF1\x06TForm1\x05"
                               "Form1\0") +
                             B("\x02TA\x01"
                               "A\0\0") +
                             B("\xF6\x02\x02\x02TB\x01"
                               "B\0\x02TC\x01"
                               "C\0\0\0") +
                             B("\x09TNameless\0\0\0") + B("\0");
  EXPECT_EQ(Hex(ToBinary(text)), Hex(binary));
  EXPECT_EQ(ToText(binary),
            "inherited Form1: TForm1\n  object A: TA\n  end\n  inline B: TB[2]\n    object C: TC\n"
            "    end\n  end\n  object TNameless\n  end\nend\n");
}

// A first byte of 0xF0 or more is the flags prefix: a class name whose length byte would look
// like one is written behind an empty prefix, and reads back as written.
TEST(FormText, LongClassNamesGetAnEmptyPrefix) {
  for (const size_t len : {239u, 240u, 255u}) {
    const std::string cls = "T" + std::string(len - 1, 'x');
    const std::string text = "object A: " + cls + "\nend\n";
    const std::string binary = ToBinary(text);
    const std::string start = std::string("TPF0") + (len >= 240 ? "\xF0" : "") + static_cast<char>(len) + cls;
    EXPECT_EQ(binary.substr(0, start.size()), start) << len;
    EXPECT_EQ(ToText(binary), text) << len;
    // The form reader takes the whole class name too (and stops there: no such class).
    TMemoryStream in(binary);
    try {
      ReadForm(in);
      ADD_FAILURE() << len;
    } catch (const EFormReadError& e) {
      EXPECT_NE(std::string(e.what()).find("Class " + cls + " not found"), std::string::npos) << e.what();
    }
  }
}

TEST(FormText, ParserErrorsNameLineAndColumn) {
  struct Case {
    const char* text;
    const char* mention;
  };
  const Case cases[] = {
      {"object X: T\n  P = 'abc\nend\n", "line 2"},
      {"object X: T\n  P 1\nend\n", "= expected but Integer"},
      {"object X: T\n  P = 1e999\nend\n", "out of range"},
      {"object X: T\n  P = $10000000000000000\nend\n", "not a valid integer"},
      {"object X: T [2147483648]\nend\n", "beyond 32 bits"},
      {"object X: T\n  P = { 0 }\nend\n", "Unterminated byte"},
      {"object X: T\n  P = (1 2\n", "line 3"},
      {"object X: T\n  P = [a b]\nend\n", ", expected but Symbol"},
      {"thing X: T\nend\n", "INLINE expected"},
      {"object X: T\n  P = 1\n", "EOF"},
      {"object X: T\n  P = 99999999999999999999\nend\n", "not a valid integer"},
  };
  for (const Case& c : cases) {
    try {
      ToBinary(c.text);
      ADD_FAILURE() << c.text;
    } catch (const EParserError& e) {
      EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
    }
  }
}
}  // namespace

TEST(FormText, OtherFloatingPointTypesAreWrittenWithTheirSuffix) {
  struct Case {
    std::string binary;
    const char* text;
  };
  const Case cases[] = {
      {B("\x0F\0\0\xC0\x3F"), " 1.50000000000000000000E+0000s"},
      {B("\x11\0\0\0\0\0\0\x04\x40"), " 2.50000000000000000000E+0000d"},
      {B("\x10\x08\xE2\x01\0\0\0\0\0"), "12.3400c"},
      {B("\x10\xFB\xFF\xFF\xFF\xFF\xFF\xFF\xFF"), "-0.0005c"},
  };
  for (const Case& c : cases) {
    std::string text = ToText(B("TPF0\x01T\x01X\x01P") + c.binary + B("\0\0"));
    EXPECT_EQ(text, std::string("object X: T\n  P = ") + c.text + "\nend\n");
    EXPECT_NO_THROW(ToBinary(text)) << c.text;  // and the text reads back
  }
}

TEST(FormText, RecognisesWhatTheConverterAccepts) {
  struct Case {
    std::string text;
    bool form;
  };
  const Case cases[] = {
      {"object X: T\nend\n", true},
      {"\xEF\xBB\xBFobject X: T\nend\n", true},
      {"OBJECT X: T\nend\n", true},
      {"Object\tX: T\nend\n", true},
      {" \r\n\tinherited X: T\nend\n", true},
      {"inline X: T\nend\n", true},
      {"object\r\nX: T\nend\n", true},
      {"objects X: T\nend\n", false},
      {"object", false},
      {"\xEF\xBB\xBF", false},
      {"", false},
      {"TPF0", false},
      {"SFP1object X", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LooksLikeTextForm(c.text.data(), c.text.size()), c.form);
    if (c.form) {
      EXPECT_NO_THROW(ToBinary(c.text));
    }
  }
}

TEST(FormText, EveryNestingTheTextAcceptsConvertsBack) {
  // Lists and objects count alike on both sides: what the parser writes, the binary side reads.
  for (int lists = 195; lists <= 201; ++lists) {
    SCOPED_TRACE(lists);
    std::string text = "object X: T\n  P = " + std::string(lists, '(') + std::string(lists, ')') + "\nend\n";
    std::string objects = "object X: T\n";
    for (int i = 0; i < lists; ++i) objects += "object X: T\n";
    objects += std::string(lists + 1, ' ') + "\n" + [&] {
      std::string ends;
      for (int i = 0; i <= lists; ++i) ends += "end\n";
      return ends;
    }();
    for (const std::string& form : {text, objects}) {
      std::string binary;
      try {
        binary = ToBinary(form);
      } catch (const EParserError&) {
        EXPECT_GE(lists, 200);
        continue;
      }
      EXPECT_LE(lists, 199);
      EXPECT_NO_THROW(ToText(binary));
    }
  }
}
