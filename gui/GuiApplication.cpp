#include "GuiApplication.h"

#include <cstdio>

#include "Backend.h"
#include "Forms.h"
#include "ProgramName.h"
#include "core/PropertyRegistry.h"
#include "Screen.h"
#include "Trace.h"

const TClassInfo& TGuiApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TGuiApplication>("TGuiApplication").NoFactory().Build();
  return info;
}

TGuiApplication::TGuiApplication(TComponent* owner) : TApplication(owner) {
  if (!Screen) Screen = new TScreen();
}

TGuiApplication::~TGuiApplication() {
  // Forms go while the application is still a TGuiApplication, so they can tell it.
  Destroying();
  DestroyComponents();
  delete Screen;
  Screen = nullptr;
  GuiTrace("application-destroyed");
}

void TGuiApplication::Initialize() {
  if (initialized_) return;
  GuiBackend().Initialize();
  GuiBackend().SetApplicationTitle(Title());
  GuiBackend().WatchTerminationSignals([this](int signal) {
    GuiTrace("signal " + std::to_string(signal));
    if (!terminationSignal_) terminationSignal_ = signal;
    Terminate();
  });
  initialized_ = true;
}

void TGuiApplication::SetTitle(const std::string& title) {
  TApplication::SetTitle(title);
  if (initialized_) GuiBackend().SetApplicationTitle(title);
}

void TGuiApplication::Run() {
  if (!terminated_) {
    if (mainForm_) mainForm_->Show();
    GuiTrace("loop-start");
    if (!terminated_) GuiBackend().RunLoop();
  }
  GuiTrace("loop-end");
}

void TGuiApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  if (initialized_) GuiBackend().QuitLoop();
}

void TGuiApplication::ProcessMessages() {
  if (initialized_) GuiBackend().ProcessMessages();
}

uintptr_t TGuiApplication::Handle() const { return initialized_ ? GuiBackend().ApplicationHandle() : 0; }

int TGuiApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (GuiTraceEnabled()) {
    std::string line = "message-box " + caption + ": ";
    for (char c : text) line += c == '\r' ? ' ' : c == '\n' ? ' ' : c;
    GuiTrace(line);
  }
  if (!initialized_) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return IDOK;
  }
  return GuiBackend().MessageBox(text, caption, flags);
}

void TGuiApplication::HandleException(const std::exception& e) {
  if (OnException.Assigned())
    OnException(this, e);
  else
    ShowException(e);
}

void TGuiApplication::ShowException(const std::exception& e) {
  GuiTrace(std::string("exception ") + e.what());
  MessageBox(e.what(), Title().empty() ? ProgramName() : Title(), MB_OK | MB_ICONERROR);
}

TGuiApplication* GuiApplication() { return dynamic_cast<TGuiApplication*>(Application); }

void HandleGuiException(const std::exception& e) {
  if (TGuiApplication* app = GuiApplication()) {
    try {
      app->HandleException(e);
      return;
    } catch (const std::exception& inner) {
      std::fprintf(stderr, "Exception in the exception handler: %s\n", inner.what());
      return;
    }
  }
  std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
}
