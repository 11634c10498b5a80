#include "DiagnosticBackend.h"

#include <cstdio>
#include <utility>

#include "charset/Cp1252.h"
#include "Forms.h"
#include "Trace.h"
#include "WebBrowser.h"

TDiagnosticBackend::TDiagnosticBackend(std::unique_ptr<TGuiBackend> inner, std::string screenshotPath)
    : inner_(std::move(inner)), screenshotPath_(std::move(screenshotPath)) {}

void TDiagnosticBackend::WindowShown(TForm& form) {
  int width = 0, height = 0;
  inner_->ClientSize(form, width, height);
  GuiTrace("shown " + Cp1252ToUtf8(form.Caption()) + " title=" + inner_->WindowTitle(form) +
           " client=" + std::to_string(width) + "x" + std::to_string(height));
  for (TControl* c : form.Controls())
    GuiTrace("bounds " + c->Name() + " " + std::to_string(c->Left()) + "," + std::to_string(c->Top()) + " " +
             std::to_string(c->Width()) + "x" + std::to_string(c->Height()));
  inner_->WindowShown(form);
}

void TDiagnosticBackend::DocumentShown(TWebBrowser& browser, const std::string& uri) {
  if (!screenshotPath_.empty() && !screenshotTaken_ && browser.Parent()) {
    screenshotTaken_ = true;
    const bool ok = inner_->SaveScreenshot(*browser.Parent(), screenshotPath_);
    GuiTrace(std::string(ok ? "screenshot " : "screenshot-failed ") + screenshotPath_);
    std::fprintf(stderr, "Screenshot %s: %s\n", ok ? "saved" : "failed", screenshotPath_.c_str());
  }
  inner_->DocumentShown(browser, uri);
}

void TDiagnosticBackend::ToolkitNote(const std::string& note) {
  GuiTrace(note);
  inner_->ToolkitNote(note);
}

void InstallDiagnosticBackendFromEnvironment() {
  const std::string shot = GuiScreenshotPath();
  if (GuiTraceEnabled() || !shot.empty())
    SetGuiBackend(std::make_unique<TDiagnosticBackend>(CreateDefaultGuiBackend(), shot));
}
