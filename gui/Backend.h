#pragma once
// TGuiBackend: what the windowing framework asks of the native toolkit. The framework's
// classes hold the state (captions, bounds, fonts, pictures); a backend shows them and reports
// what the user does through the framework's Do... entry points. The GTK backend is the one
// for Linux; nothing outside gui/ sees the toolkit.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TForm;
class TControl;
class TWebBrowser;

class TGuiBackend {
 public:
  virtual ~TGuiBackend() = default;

  // Starts the toolkit; raises an Exception when no display can be opened.
  virtual void Initialize() = 0;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Calls handler with the signal's number from the message loop (or from a message box's
  // own loop) when the process gets SIGINT, SIGTERM or SIGHUP.
  virtual void WatchTerminationSignals(std::function<void(int)> handler) = 0;

  // Creates the form's window with its controls on first use, shows it and gives it focus.
  virtual void ShowForm(TForm& form) = 0;
  virtual void HideForm(TForm& form) = 0;
  // The form or control changed a property that is shown; re-applies it when it has a window.
  virtual void FormChanged(TForm& form) = 0;
  virtual void ControlChanged(TControl& control) = 0;
  // Releases what the backend holds for an object being destroyed.
  virtual void FormDestroyed(TForm& form) = 0;
  virtual void ControlDestroyed(TControl& control) = 0;

  // Starts loading the address (a URI in UTF-8) in the browser pane.
  virtual void Navigate(TWebBrowser& browser, const std::string& uri) = 0;

  // The message loop: runs until QuitLoop; QuitLoop before RunLoop makes RunLoop return at once.
  // QuitLoop also answers an open message box as if it were cancelled.
  virtual void RunLoop() = 0;
  virtual void QuitLoop() = 0;
  // Handles the pending messages and returns.
  virtual void ProcessMessages() = 0;

  // A modal message box (texts in Windows-1252); gives the button's ID (IDOK and so on).
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;

  // Native handles: the application's (an X window id or similar), and a form's (0 before it
  // has a window).
  virtual uintptr_t ApplicationHandle() = 0;
  virtual uintptr_t FormHandle(TForm& form) = 0;

  // What the toolkit shows of a form's window: its title (UTF-8) and the size of its client
  // area in pixels; empty and 0 x 0 while the form has no window.
  virtual std::string WindowTitle(TForm& form) = 0;
  virtual void ClientSize(TForm& form, int& width, int& height) = 0;

  // Saves what the form's client area shows as a PNG file.
  virtual bool SaveScreenshot(TForm& form, const std::string& pngPath) = 0;

  // Events of the toolkit. A backend reports them through the backend in use (GuiBackend()),
  // so that a decorating backend installed over it sees them; these defaults hand them to
  // the framework.
  // The form's window is on the screen.
  virtual void WindowShown(TForm& form);
  // The browser pane has drawn the document at uri.
  virtual void DocumentShown(TWebBrowser& browser, const std::string& uri);
  // A detail of the toolkit's work that only diagnostics want ("load-failed URI: reason").
  virtual void ToolkitNote(const std::string&) {}
};

// The backend in use, created on first use (GTK on Linux, Win32 on Windows).
TGuiBackend& GuiBackend();
// Replaces the backend (tests use a recording one); nullptr goes back to the default.
void SetGuiBackend(std::unique_ptr<TGuiBackend> backend);
// The GTK 3 / WebKitGTK backend (Linux) and the Win32 one (Windows).
std::unique_ptr<TGuiBackend> CreateGtkBackend();
std::unique_ptr<TGuiBackend> CreateWin32Backend();
// The toolkit's backend of this system, which GuiBackend() starts with.
std::unique_ptr<TGuiBackend> CreateDefaultGuiBackend();
