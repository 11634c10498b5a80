#pragma once
// A backend that decorates another with what tests and measurements watch: it traces each
// window shown (its title, client size and every control's bounds) and the toolkit's notes,
// and saves a screenshot of the window once, when its browser pane has first drawn a
// document. Everything else is the decorated backend's work.
#include <memory>
#include <string>

#include "Backend.h"

class TDiagnosticBackend : public TGuiBackend {
 public:
  // screenshotPath: where the PNG goes; empty for none.
  TDiagnosticBackend(std::unique_ptr<TGuiBackend> inner, std::string screenshotPath);

  void Initialize() override { inner_->Initialize(); }
  void SetApplicationTitle(const std::string& title) override { inner_->SetApplicationTitle(title); }
  void WatchTerminationSignals(std::function<void(int)> handler) override {
    inner_->WatchTerminationSignals(std::move(handler));
  }
  void ShowForm(TForm& form) override { inner_->ShowForm(form); }
  void HideForm(TForm& form) override { inner_->HideForm(form); }
  void FormChanged(TForm& form) override { inner_->FormChanged(form); }
  void ControlChanged(TControl& control) override { inner_->ControlChanged(control); }
  void FormDestroyed(TForm& form) override { inner_->FormDestroyed(form); }
  void ControlDestroyed(TControl& control) override { inner_->ControlDestroyed(control); }
  void Navigate(TWebBrowser& browser, const std::string& uri) override { inner_->Navigate(browser, uri); }
  void RunLoop() override { inner_->RunLoop(); }
  void QuitLoop() override { inner_->QuitLoop(); }
  void ProcessMessages() override { inner_->ProcessMessages(); }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    return inner_->MessageBox(text, caption, flags);
  }
  uintptr_t ApplicationHandle() override { return inner_->ApplicationHandle(); }
  uintptr_t FormHandle(TForm& form) override { return inner_->FormHandle(form); }
  std::string WindowTitle(TForm& form) override { return inner_->WindowTitle(form); }
  void ClientSize(TForm& form, int& width, int& height) override { inner_->ClientSize(form, width, height); }
  bool SaveScreenshot(TForm& form, const std::string& pngPath) override {
    return inner_->SaveScreenshot(form, pngPath);
  }

  void WindowShown(TForm& form) override;
  void DocumentShown(TWebBrowser& browser, const std::string& uri) override;
  void ToolkitNote(const std::string& note) override;

 private:
  std::unique_ptr<TGuiBackend> inner_;
  std::string screenshotPath_;
  bool screenshotTaken_ = false;
};

// Installs a diagnostic backend over the default one when the environment asks for a trace
// or a screenshot (Trace.h); leaves the backend alone otherwise. Called by the programs that
// offer these diagnostics, before their first window.
void InstallDiagnosticBackendFromEnvironment();
