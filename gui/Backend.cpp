#include "Backend.h"

#include "Forms.h"
#include "WebBrowser.h"

namespace {
std::unique_ptr<TGuiBackend>& Slot() {
  static std::unique_ptr<TGuiBackend> backend;
  return backend;
}
}  // namespace

TGuiBackend& GuiBackend() {
  if (!Slot()) Slot() = CreateDefaultGuiBackend();
  return *Slot();
}

std::unique_ptr<TGuiBackend> CreateDefaultGuiBackend() {
#ifdef _WIN32
  return CreateWin32Backend();
#else
  return CreateGtkBackend();
#endif
}

void SetGuiBackend(std::unique_ptr<TGuiBackend> backend) { Slot() = std::move(backend); }

void TGuiBackend::WindowShown(TForm& form) { form.DoShown(); }

void TGuiBackend::DocumentShown(TWebBrowser& browser, const std::string& uri) { browser.DoDocumentComplete(uri); }
