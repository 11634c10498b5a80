#pragma once
// TGuiApplication: the application object of a windowed program, extending core's
// TApplication with the message loop, the main form, the message box and the default
// exception handler.
//
//   auto app = std::make_unique<TGuiApplication>(nullptr);
//   app->Initialize();
//   app->SetTitle("Installation");
//   app->CreateForm(Form1);     // Form1 = new TForm1(app), the first form becomes the main form
//   app->Run();                 // until the main form closes, SIGINT, SIGTERM or SIGHUP
//   app.reset();                // destroys the forms and their components
#include <cstdint>
#include <exception>
#include <string>

#include "core/Application.h"
#include "core/Events.h"

class TForm;

// The message box's flags and answers (windows.h defines them on Windows).
#ifndef MB_OK
#define MB_OK 0x00000000u
#endif
#ifndef MB_OKCANCEL
#define MB_OKCANCEL 0x00000001u
#endif
#ifndef MB_YESNO
#define MB_YESNO 0x00000004u
#endif
#ifndef MB_ICONERROR
#define MB_ICONERROR 0x00000010u
#endif
#ifndef MB_ICONQUESTION
#define MB_ICONQUESTION 0x00000020u
#endif
#ifndef MB_ICONWARNING
#define MB_ICONWARNING 0x00000030u
#endif
#ifndef MB_ICONINFORMATION
#define MB_ICONINFORMATION 0x00000040u
#endif
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#ifndef IDYES
#define IDYES 6
#endif
#ifndef IDNO
#define IDNO 7
#endif

class TGuiApplication : public TApplication {
  STOWAWAY_CLASS(TGuiApplication, TApplication)

  explicit TGuiApplication(TComponent* owner);
  ~TGuiApplication() override;

  // Starts the toolkit (raises when there is no display) and routes SIGINT, SIGTERM and
  // SIGHUP to Terminate through the message loop (an open message box is answered with
  // cancel).
  void Initialize();
  void SetTitle(const std::string& title);

  // Creates a form owned by the application (its constructor reads its form resource) and
  // stores it in ref; the first form created becomes the main form.
  template <class F>
  void CreateForm(F*& ref) {
    F* form = new F(this);
    ref = form;
    if (!mainForm_) mainForm_ = form;
  }

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // Ends the message loop (at once when it runs, else when Run is called).
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The first termination signal received (SIGINT, SIGTERM or SIGHUP), or 0.
  int TerminationSignal() const { return terminationSignal_; }
  void ProcessMessages();

  TForm* MainForm() const { return mainForm_; }
  void MainFormDestroyed() { mainForm_ = nullptr; }
  // The application's native window handle.
  uintptr_t Handle() const;

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK) override;

  // The default exception handler: OnException when assigned, else a message box with the
  // error's text; the program goes on.
  TEvent<TObject*, const std::exception&> OnException;
  void HandleException(const std::exception& e);
  // The error's text in a message box (on stderr before Initialize) captioned with the title,
  // or the program's file name while there is no title.
  void ShowException(const std::exception& e);

 private:
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool initialized_ = false;
  int terminationSignal_ = 0;
};

// The application object when it is a TGuiApplication, else nullptr.
TGuiApplication* GuiApplication();

// Runs f, handing any exception to the application's exception handler (to stderr without
// one). Every call from the toolkit into the framework goes through it: an exception must not
// cross the toolkit's C frames.
void HandleGuiException(const std::exception& e);
template <class F>
void GuiGuarded(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    HandleGuiException(e);
  }
}
