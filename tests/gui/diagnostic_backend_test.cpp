// The diagnostic backend over a recording one: what it traces, the one screenshot, and that
// every event still reaches the framework.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "gui/DiagnosticBackend.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/WebBrowser.h"

using ::testing::ElementsAre;
using ::testing::EndsWith;

namespace {

// Answers every call and records the screenshots and events that reach it.
class TRecordingBackend : public TGuiBackend {
 public:
  std::vector<std::string>& calls;
  explicit TRecordingBackend(std::vector<std::string>& log) : calls(log) {}

  void Initialize() override {}
  void SetApplicationTitle(const std::string&) override {}
  void WatchTerminationSignals(std::function<void(int)>) override {}
  void ShowForm(TForm&) override {}
  void HideForm(TForm&) override {}
  void FormChanged(TForm&) override {}
  void ControlChanged(TControl&) override {}
  void FormDestroyed(TForm&) override {}
  void ControlDestroyed(TControl&) override {}
  void Navigate(TWebBrowser&, const std::string&) override {}
  void RunLoop() override {}
  void QuitLoop() override {}
  void ProcessMessages() override {}
  int MessageBox(const std::string&, const std::string&, unsigned) override { return 0; }
  uintptr_t ApplicationHandle() override { return 0; }
  uintptr_t FormHandle(TForm&) override { return 0; }
  std::string WindowTitle(TForm&) override { return "Installation (native)"; }
  void ClientSize(TForm&, int& width, int& height) override { width = 711, height = 344; }
  bool SaveScreenshot(TForm& form, const std::string& path) override {
    calls.push_back("screenshot " + form.Name() + " " + path);
    return true;
  }
  void WindowShown(TForm& form) override {
    calls.push_back("shown " + form.Name());
    TGuiBackend::WindowShown(form);
  }
  void DocumentShown(TWebBrowser& browser, const std::string& uri) override {
    calls.push_back("document " + uri);
    TGuiBackend::DocumentShown(browser, uri);
  }
  void ToolkitNote(const std::string& note) override { calls.push_back("note " + note); }
};

std::string TracePath() {
  return (std::filesystem::temp_directory_path() / ("stowaway-diagnostic-trace-" + std::to_string(getpid()))).string();
}

class DiagnosticBackendTest : public testing::Test {
 protected:
  void SetUp() override {
    // The trace's file is taken from the environment once per process.
    setenv("STOWAWAY_TRACE", TracePath().c_str(), 1);
    std::ofstream(TracePath(), std::ios::trunc);
    SetGuiBackend(std::make_unique<TDiagnosticBackend>(std::make_unique<TRecordingBackend>(calls), "/tmp/shot.png"));
    form = std::make_unique<TForm>(nullptr);
    form->SetName("Form1");
    form->SetCaption("Installation");
    label = new TLabel(form.get());
    label->SetName("Label1");
    label->SetParent(form.get());
    label->SetBounds(8, 16, 100, 20);
    browser = new TWebBrowser(form.get());
    browser->SetName("WebBrowser1");
    browser->SetParent(form.get());
    browser->SetBounds(168, 56, 529, 225);
  }
  void TearDown() override {
    form.reset();
    SetGuiBackend(nullptr);
    std::error_code ignored;
    std::filesystem::remove(TracePath(), ignored);
  }

  // The events of the trace with what follows them, without the times.
  static std::vector<std::string> Trace() {
    std::vector<std::string> lines;
    std::ifstream in(TracePath());
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      std::string ms, realtime, rest;
      fields >> ms >> realtime;
      std::getline(fields >> std::ws, rest);
      lines.push_back(rest);
    }
    return lines;
  }

  std::vector<std::string> calls;
  std::unique_ptr<TForm> form;
  TLabel* label = nullptr;
  TWebBrowser* browser = nullptr;
};

TEST_F(DiagnosticBackendTest, TracesAShownWindowWithItsControlsBeforeTheFormHearsOfIt) {
  int shows = 0;
  form->OnShow.Bind([&](TObject*) { ++shows; });
  GuiBackend().WindowShown(*form);
  EXPECT_EQ(shows, 1);
  EXPECT_THAT(calls, ElementsAre("shown Form1"));
  const std::vector<std::string> trace = Trace();
  EXPECT_THAT(trace, ElementsAre("shown Installation title=Installation (native) client=711x344",
                                 "bounds Label1 8,16 100x20", "bounds WebBrowser1 168,56 529x225", "activate Form1"));
}

TEST_F(DiagnosticBackendTest, SavesOneScreenshotAndPassesEveryDocumentAndNoteOn) {
  std::vector<std::u16string> completed;
  browser->OnDocumentComplete.Bind([&](TObject*, TObject*, const std::u16string& uri) { completed.push_back(uri); });
  testing::internal::CaptureStderr();
  GuiBackend().DocumentShown(*browser, "file:///a.html");
  GuiBackend().ToolkitNote("load-failed file:///b.html: gone");
  GuiBackend().DocumentShown(*browser, "file:///b.html");
  EXPECT_THAT(testing::internal::GetCapturedStderr(), EndsWith("Screenshot saved: /tmp/shot.png\n"));
  EXPECT_THAT(calls, ElementsAre("screenshot Form1 /tmp/shot.png", "document file:///a.html",
                                 "note load-failed file:///b.html: gone", "document file:///b.html"));
  EXPECT_THAT(completed, ElementsAre(u"file:///a.html", u"file:///b.html"));
  const std::vector<std::string> trace = Trace();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "screenshot /tmp/shot.png"), trace.end());
  EXPECT_NE(std::find(trace.begin(), trace.end(), "load-failed file:///b.html: gone"), trace.end());
}

}  // namespace
