// Interoperability with Free Pascal's Classes unit: the peer program (peer/formpeer.pas)
// writes forms that we read, reads forms that we write, and converts between binary and text
// so our converters can be compared with its own byte for byte.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/FormStreaming.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "peer_classes.h"

namespace {
namespace fs = std::filesystem;

class FpcInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(FORMPEER).empty() || !fs::exists(FORMPEER)) GTEST_SKIP() << "fpc not installed";
    RegisterPeerClasses();
    dir_ = fs::temp_directory_path() / ("fpc_interop_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Runs the peer; returns its standard output, failing the test on a non-zero exit.
  std::string Peer(const std::string& args) {
    std::string out = (dir_ / "peer.out").string();
    std::string cmd = std::string(FORMPEER) + " " + args + " >" + out + " 2>&1";
    int rc = std::system(cmd.c_str());
    std::string text = Slurp(out);
    EXPECT_EQ(rc, 0) << cmd << "\n" << text;
    return text;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  static void Spit(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
  }
  std::string P(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

std::string OurBinary(TComponent& root) {
  TMemoryStream s;
  WriteForm(s, root);
  return s.Bytes();
}

TEST_F(FpcInterop, WeReadWhatFreePascalWritesAndWriteTheSameBytes) {
  Peer("write " + P("peer.bin"));
  const std::string peerBytes = Slurp(P("peer.bin"));
  TMemoryStream in(peerBytes);
  auto read = ReadForm(in);
  auto& root = dynamic_cast<TPeerRoot&>(*read);
  EXPECT_EQ(PeerDump(root), Peer("read " + P("peer.bin")));
  auto sample = PeerSample();
  EXPECT_EQ(Hex(OurBinary(*sample)), Hex(peerBytes));
  EXPECT_EQ(Hex(OurBinary(root)), Hex(peerBytes));
}

TEST_F(FpcInterop, FreePascalReadsWhatWeWrite) {
  auto sample = PeerSample();
  // Variations the sample does not cover: empty and quoted strings, all set members, extremes.
  auto* c = dynamic_cast<TPeerItem*>(sample->FindComponent("ItemC"));
  c->Styles = {psBold, psItalic, psUnderline, psStrikeOut};
  c->Caption = std::string("'\x01\x7F\xFF'", 5);
  c->Count = INT32_MIN;
  c->Size = 0x80000000u;
  c->Cursor = -2;
  c->Big = INT64_MIN;
  c->Options.Inner.Path = std::string(70000, 'p');
  c->SetTag(-1);
  c->Link = sample.get();
  Spit(P("ours.bin"), OurBinary(*sample));
  EXPECT_EQ(Peer("read " + P("ours.bin")), PeerDump(*sample));
}

TEST_F(FpcInterop, BinaryToTextAgreesByteForByte) {
  auto sample = PeerSample();
  dynamic_cast<TPeerItem*>(sample->FindComponent("ItemC"))->Caption = std::string("\x80\x9F\xA0\xFF\x00\x1F", 6);
  const std::string binary = OurBinary(*sample);
  Spit(P("ours.bin"), binary);
  Peer("b2t " + P("ours.bin") + " " + P("peer.txt"));
  TMemoryStream in(binary), out;
  ObjectBinaryToText(in, out);
  EXPECT_EQ(out.Bytes(), Slurp(P("peer.txt")));
}

TEST_F(FpcInterop, TextToBinaryAgreesByteForByte) {
  const std::string text =
      "inherited Form1: TForm1\n"
      "  Caption = 'Noch ein Mausklick und Sie k'#246'nnen loslegen!'\n"
      "  Plain = 'It''s' + ' joined' + #13#10\n"
      "  Wide = 'a'#8364 + 'b' + #255\n"
      "  Big = 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'\n"
      "  Numbers = (0 -1 127 128 -129 32767 32768 -32769 2147483647 -2147483648 2147483648 $10 $FFFFFFFF "
      "9223372036854775807)\n"
      "  Idents = (True false NIL Null Owner.Thing.Sub clWhite)\n"
      "  Sets = [] \n"
      "  Sets2 = [akLeft, akTop]\n"
      "  Font.Style = [fsBold]\n"
      "  Nested = (( ) ('x'))\n"
      "  Data = {\n    00 01 FF\n    abcdef}\n"
      "  Empty = {}\n"
      "  Items = <\n    item\n      A = 1\n    end\n    item\n    end>\n"
      "  object Sub1: TSub\n"
      "    Tag = 5\n"
      "  end\n"
      "  inline Sub2: TSub [3]\n"
      "    object Deep: TDeep\n"
      "    end\n"
      "  end\n"
      "end\n";
  Spit(P("in.txt"), text);
  Peer("t2b " + P("in.txt") + " " + P("peer.bin"));
  const std::string peerBinary = Slurp(P("peer.bin"));
  TMemoryStream in(text), out;
  ObjectTextToBinary(in, out);
  EXPECT_EQ(Hex(out.Bytes()), Hex(peerBinary));
  // And back to text.
  Peer("b2t " + P("peer.bin") + " " + P("peer.txt"));
  TMemoryStream bin(peerBinary), back;
  ObjectBinaryToText(bin, back);
  EXPECT_EQ(back.Bytes(), Slurp(P("peer.txt")));
}
}  // namespace
