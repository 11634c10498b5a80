// The Win32 backend: one window per form, whose labels and image are drawn with GDI in the
// form's fonts and colours, the browser pane the system's web-browser control (IWebBrowser2)
// hosted in place as an OLE object, the Windows message loop, MessageBoxW, and console
// control events for termination.
//
// Where the control cannot be created or its navigation fails without it ever completing a
// document (Wine without an HTML engine), the pane reports the navigation as completed all
// the same, as the control does after showing its own error page: the installer goes on.
#include "platform/winapi.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Backend.h"
#include "charset/Cp1252.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiApplication.h"
#include "Screen.h"
#include "StdCtrls.h"
#include "WebBrowser.h"
#include "Win32BrowserSite.h"

namespace {

constexpr UINT kShownMessage = WM_APP + 1;      // the form's window is on the screen
constexpr UINT kTerminateMessage = WM_APP + 2;  // a console control event arrived
constexpr UINT kCompleteMessage = WM_APP + 3;   // report the pane's navigation as completed
constexpr UINT_PTR kGiveUpTimer = 1;            // a navigation that never completes
constexpr UINT kGiveUpMs = 30000;

// Makes the process load system DLLs from System32 only, never from the directory of the
// executable (an installer run from a Downloads folder must not load a DLL planted beside
// it). Looked up by name: Windows 7 has the call only with its loader update.
void RestrictDllSearch() {
  using SetDirs = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto set =
      kernel ? reinterpret_cast<SetDirs>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
             : nullptr;
  if (set) set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
  SetDllDirectoryW(L"");  // also takes the current directory out of the search
}

// Runs before main: the first DLL loads happen as the program starts.
const bool kDllSearchRestricted = (RestrictDllSearch(), true);

std::wstring Wide(const std::string& cp1252) {
  if (cp1252.empty()) return std::wstring();
  const int n = MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), out.data(), n);
  return out;
}

std::string Utf8(const wchar_t* text) {
  if (!text || !*text) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return out;
}

COLORREF ToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

HFONT MakeFont(const TFont& font, int pixels) {
  const TFontStyles style = font.Style();
  return CreateFontW(-pixels, 0, 0, 0, style.Contains(fsBold) ? FW_BOLD : FW_NORMAL, style.Contains(fsItalic),
                     style.Contains(fsUnderline), style.Contains(fsStrikeOut), static_cast<BYTE>(font.Charset()),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     Wide(font.Name()).c_str());
}

// The size of a caption in a font, as DrawTextW lays it out.
SIZE TextSize(const std::wstring& text, const TFont& font, int pixels) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT hf = MakeFont(font, pixels);
  HGDIOBJ old = SelectObject(dc, hf);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  DeleteObject(hf);
  DeleteDC(dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

HCURSOR SystemCursorFor(const std::string& cssName) {
  static const std::map<std::string, LPCSTR> names = {{"default", IDC_ARROW},
                                                      {"pointer", IDC_HAND},
                                                      {"text", IDC_IBEAM},
                                                      {"wait", IDC_WAIT},
                                                      {"progress", IDC_APPSTARTING},
                                                      {"crosshair", IDC_CROSS},
                                                      {"help", IDC_HELP},
                                                      {"not-allowed", IDC_NO},
                                                      {"no-drop", IDC_NO},
                                                      {"move", IDC_SIZEALL},
                                                      {"nesw-resize", IDC_SIZENESW},
                                                      {"nwse-resize", IDC_SIZENWSE},
                                                      {"ns-resize", IDC_SIZENS},
                                                      {"ew-resize", IDC_SIZEWE},
                                                      {"col-resize", IDC_SIZEWE},
                                                      {"row-resize", IDC_SIZENS},
                                                      {"copy", IDC_ARROW}};
  auto it = names.find(cssName);
  return it == names.end() ? nullptr : LoadCursorA(nullptr, it->second);
}

struct FormWindow {
  TForm* form = nullptr;
  HWND window = nullptr;
  std::map<TWebBrowser*, BrowserSite*> browsers;
  TControl* pressed = nullptr;
  bool shown = false;
};

class Win32Backend : public TGuiBackend {
 public:
  ~Win32Backend() override {
    if (appWindow_) DestroyWindow(appWindow_);
    if (oleStarted_) OleUninitialize();
  }

  void Initialize() override {
    if (initialized_) return;
    (void)kDllSearchRestricted;
    // The browser control needs the component object library, in place activation OLE.
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    RegisterClasses();
    appWindow_ =
        CreateWindowExW(0, kAppClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
    if (!appWindow_)
      throw Exception("Cannot create the application window (error " + std::to_string(GetLastError()) + ")");
    instance_ = this;
    initialized_ = true;
  }

  void SetApplicationTitle(const std::string& title) override { title_ = title; }

  void WatchTerminationSignals(std::function<void(int)> handler) override {
    terminationHandler_ = std::move(handler);
    SetConsoleCtrlHandler(&Win32Backend::OnConsoleEvent, TRUE);
  }

  void ShowForm(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    if (!fw) fw = CreateFormWindow(form);
    ShowWindow(fw->window, SW_SHOW);
    SetForegroundWindow(fw->window);
    UpdateWindow(fw->window);
    if (!fw->shown) {
      fw->shown = true;
      PostMessageW(fw->window, kShownMessage, 0, 0);
    }
  }

  void HideForm(TForm& form) override {
    if (FormWindow* fw = WindowOf(form)) ShowWindow(fw->window, SW_HIDE);
  }

  void FormChanged(TForm& form) override {
    if (FormWindow* fw = WindowOf(form)) ApplyForm(*fw);
  }

  void ControlChanged(TControl& control) override {
    // Labels follow their text even before their window exists.
    if (auto* label = dynamic_cast<TLabel*>(&control)) AutoSizeLabel(*label);
    if (!control.Parent()) return;
    FormWindow* fw = WindowOf(*control.Parent());
    if (!fw) return;
    if (auto* browser = dynamic_cast<TWebBrowser*>(&control)) {
      auto it = fw->browsers.find(browser);
      if (it == fw->browsers.end())
        AddBrowser(*fw, *browser);
      else
        it->second->Resize();
    }
    InvalidateRect(fw->window, nullptr, TRUE);
  }

  void FormDestroyed(TForm& form) override {
    auto it = forms_.find(&form);
    if (it == forms_.end()) return;
    FormWindow* fw = it->second;
    forms_.erase(it);
    for (auto& [browser, site] : fw->browsers) {
      site->Close();
      site->Release();
    }
    fw->browsers.clear();
    SetWindowLongPtrW(fw->window, GWLP_USERDATA, 0);
    DestroyWindow(fw->window);
    delete fw;
  }

  void ControlDestroyed(TControl& control) override {
    pending_.erase(dynamic_cast<TWebBrowser*>(&control));
    labelPixels_.erase(dynamic_cast<TLabel*>(&control));
    if (!control.Parent()) return;
    FormWindow* fw = WindowOf(*control.Parent());
    if (!fw) return;
    if (fw->pressed == &control) fw->pressed = nullptr;
    auto it = fw->browsers.find(dynamic_cast<TWebBrowser*>(&control));
    if (it != fw->browsers.end()) {
      it->second->Close();
      it->second->Release();
      fw->browsers.erase(it);
    }
    InvalidateRect(fw->window, nullptr, TRUE);
  }

  void Navigate(TWebBrowser& browser, const std::string&) override {
    BrowserSite* site = SiteOf(browser);
    if (!site) {
      pending_[&browser] = browser.LocationURL();  // navigated when the pane is created
      return;
    }
    StartNavigation(*site, browser.LocationURL());
  }

  void RunLoop() override {
    if (quitRequested_) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void QuitLoop() override {
    quitRequested_ = true;
    PostQuitMessage(0);
  }

  void ProcessMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // left for the loop that waits for it
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    HWND owner = nullptr;
    if (GuiApplication() && GuiApplication()->MainForm())
      if (FormWindow* fw = WindowOf(*GuiApplication()->MainForm())) owner = fw->window;
    return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
  }

  uintptr_t ApplicationHandle() override { return reinterpret_cast<uintptr_t>(appWindow_); }

  uintptr_t FormHandle(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    return fw ? reinterpret_cast<uintptr_t>(fw->window) : 0;
  }

  std::string WindowTitle(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    wchar_t title[256] = {};
    if (fw) GetWindowTextW(fw->window, title, 256);
    return Utf8(title);
  }

  void ClientSize(TForm& form, int& width, int& height) override {
    RECT client{};
    if (FormWindow* fw = WindowOf(form)) GetClientRect(fw->window, &client);
    width = client.right;
    height = client.bottom;
  }

  bool SaveScreenshot(TForm&, const std::string&) override { return false; }  // not offered on Windows

 private:
  static constexpr const wchar_t* kAppClass = L"StowawayApplication";
  static constexpr const wchar_t* kFormClass = L"StowawayForm";

  void RegisterClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = &Win32Backend::AppProc;
    wc.lpszClassName = kAppClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = &Win32Backend::FormProc;
    wc.lpszClassName = kFormClass;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    RegisterClassExW(&wc);
  }

  FormWindow* WindowOf(TForm& form) {
    auto it = forms_.find(&form);
    return it == forms_.end() ? nullptr : it->second;
  }

  BrowserSite* SiteOf(TWebBrowser& browser) {
    if (!browser.Parent()) return nullptr;
    FormWindow* fw = WindowOf(*browser.Parent());
    if (!fw) return nullptr;
    auto it = fw->browsers.find(&browser);
    return it == fw->browsers.end() ? nullptr : it->second;
  }

  static void Styles(const TForm& form, DWORD& style, DWORD& exStyle) {
    exStyle = 0;
    switch (form.BorderStyle()) {
      case bsNone:
        style = WS_POPUP;
        break;
      case bsSizeable:
        style = WS_OVERLAPPEDWINDOW;
        break;
      case bsDialog:
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
      case bsToolWindow:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_TOOLWINDOW;
        break;
      case bsSizeToolWin:
        style = WS_OVERLAPPEDWINDOW;
        exStyle = WS_EX_TOOLWINDOW;
        break;
      default:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        break;
    }
    style |= WS_CLIPCHILDREN;
  }

  FormWindow* CreateFormWindow(TForm& form) {
    auto* fw = new FormWindow;
    fw->form = &form;
    DWORD style = 0, exStyle = 0;
    Styles(form, style, exStyle);
    RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    fw->window = CreateWindowExW(exStyle, kFormClass, Wide(form.Caption()).c_str(), style, form.Left(), form.Top(),
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), fw);
    if (!fw->window) {
      delete fw;
      throw Exception("Cannot create the window of " + form.Name() + " (error " + std::to_string(GetLastError()) + ")");
    }
    forms_[&form] = fw;
    form.SetHasWindow(true);
    for (TControl* c : form.Controls()) {
      if (auto* label = dynamic_cast<TLabel*>(c)) AutoSizeLabel(*label);
      if (auto* browser = dynamic_cast<TWebBrowser*>(c)) AddBrowser(*fw, *browser);
    }
    return fw;
  }

  void ApplyForm(FormWindow& fw) {
    TForm& form = *fw.form;
    SetWindowTextW(fw.window, Wide(form.Caption()).c_str());
    DWORD style = 0, exStyle = 0;
    Styles(form, style, exStyle);
    RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SetWindowPos(fw.window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(fw.window, nullptr, TRUE);
  }

  void AddBrowser(FormWindow& fw, TWebBrowser& browser) {
    auto* site = new BrowserSite(fw.window, browser);
    fw.browsers[&browser] = site;
    SetEmulationMode();
    if (!site->Create()) GuiBackend().ToolkitNote("browser-fallback");
    auto pending = pending_.find(&browser);
    if (pending != pending_.end()) {
      const std::u16string address = pending->second;
      pending_.erase(pending);
      StartNavigation(*site, address);
    }
  }

  void StartNavigation(BrowserSite& site, const std::u16string& address) {
    HWND window = nullptr;
    if (site.Browser() && site.Browser()->Parent())
      if (FormWindow* fw = WindowOf(*site.Browser()->Parent())) window = fw->window;
    if (!window) return;
    // A navigation that never completes (an engine that fails silently) ends all the same.
    // Set first: the control may report an error (and shorten the wait) from within Navigate.
    SetTimer(window, reinterpret_cast<UINT_PTR>(&site), kGiveUpMs, nullptr);
    if (!site.Navigate(address)) {
      // No control, or it refused the address: as after the control's own error page.
      KillTimer(window, reinterpret_cast<UINT_PTR>(&site));
      PostMessageW(window, kCompleteMessage, 0, reinterpret_cast<LPARAM>(site.Browser()));
    }
  }

  // The control renders pages in its modern mode only when the executable is listed under
  // FEATURE_BROWSER_EMULATION (per user, by the executable's file name).
  void SetEmulationMode() {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return;
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
      if (*p == L'\\' || *p == L'/') name = p + 1;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    const DWORD edge = 11001;  // the engine's newest document mode
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&edge), sizeof edge);
    RegCloseKey(key);
  }

  // Reports the pane's navigation as completed when the control has not done so.
  void CompleteFor(FormWindow& fw, TWebBrowser* browser) {
    auto it = fw.browsers.find(browser);
    if (it == fw.browsers.end() || it->second->Completed()) return;
    it->second->SetCompleted();
    KillTimer(fw.window, reinterpret_cast<UINT_PTR>(it->second));
    GuiBackend().ToolkitNote("navigation-given-up");
    GuiBackend().DocumentShown(*browser, Utf16ToUtf8(browser->LocationURL()));
  }

  void AutoSizeLabel(TLabel& label) {
    if (!label.AutoSize()) return;
    const TFont& font = label.DrawFont();
    const std::wstring text = Wide(label.Caption());
    const int full = font.PixelHeight();
    SIZE size = TextSize(text, font, full);
    int pixels = full;
    // Forms are laid out with the designer's font metrics; a caption that would run past the
    // client area's right edge gets a font up to a tenth smaller.
    if (TForm* form = label.Parent()) {
      const int room = form->ClientWidth() - label.Left();
      for (int px = full - 1; room > 0 && size.cx > room && px * 10 >= full * 9; --px) {
        const SIZE smaller = TextSize(text, font, px);
        if (smaller.cx <= room) {
          size = smaller;
          pixels = px;
        }
      }
    }
    labelPixels_[&label] = pixels;
    if (size.cx != label.Width() || size.cy != label.Height())
      label.SetBounds(label.Left(), label.Top(), size.cx, size.cy);
  }

  void Paint(FormWindow& fw) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(fw.window, &ps);
    RECT client;
    GetClientRect(fw.window, &client);
    HBRUSH back = CreateSolidBrush(ToColorRef(ColorToRGB(fw.form->Color(), 0xF0F0F0)));
    FillRect(dc, &client, back);
    DeleteObject(back);
    for (TControl* c : fw.form->Controls()) {
      if (!c->Visible()) continue;
      RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
      if (auto* label = dynamic_cast<TLabel*>(c)) {
        if (!label->Transparent()) {
          HBRUSH b = CreateSolidBrush(ToColorRef(ColorToRGB(label->DrawColor(), 0xF0F0F0)));
          FillRect(dc, &r, b);
          DeleteObject(b);
        }
        const TFont& font = label->DrawFont();
        auto px = labelPixels_.find(label);
        HFONT hf = MakeFont(font, px != labelPixels_.end() ? px->second : font.PixelHeight());
        HGDIOBJ old = SelectObject(dc, hf);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ToColorRef(ColorToRGB(font.Color())));
        const std::wstring text = Wide(label->Caption());
        DrawTextW(dc, text.c_str(), -1, &r, DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP);
        SelectObject(dc, old);
        DeleteObject(hf);
      } else if (auto* image = dynamic_cast<TImage*>(c)) {
        HBRUSH b = CreateSolidBrush(ToColorRef(ColorToRGB(c->DrawColor(), 0xF0F0F0)));
        FillRect(dc, &r, b);
        DeleteObject(b);
        if (image->Picture()->HasGraphic()) DrawBitmap(dc, image->Picture()->Bitmap(), c->Left(), c->Top(), r);
      }
    }
    EndPaint(fw.window, &ps);
  }

  // The picture's pixels (RGB rows from the top) as a 32-bit top-down DIB, clipped to the
  // control's bounds.
  static void DrawBitmap(HDC dc, const TBitmap& bmp, int x, int y, const RECT& clip) {
    const int w = bmp.Width(), h = bmp.Height();
    if (bmp.Rgb().size() < size_t(w) * h * 3) return;
    std::vector<uint32_t> pixels(size_t(w) * h);
    const uint8_t* rgb = bmp.Rgb().data();
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = (uint32_t(rgb[i * 3]) << 16) | (uint32_t(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetDIBitsToDevice(dc, x, y, w, h, 0, 0, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    RestoreDC(dc, saved);
  }

  // The topmost label or image under a client point.
  static TControl* ControlAt(FormWindow& fw, POINT p) {
    const std::vector<TControl*>& controls = fw.form->Controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      TControl* c = *it;
      if (!c->Visible() || dynamic_cast<TWebBrowser*>(c)) continue;
      if (p.x >= c->Left() && p.y >= c->Top() && p.x < c->Left() + c->Width() && p.y < c->Top() + c->Height()) return c;
    }
    return nullptr;
  }

  static bool SetControlCursor(FormWindow& fw) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(fw.window, &p);
    TControl* c = ControlAt(fw, p);
    if (!c || !Screen) return false;
    TCursorHandle shape = Screen->Cursors(c->Cursor());
    if (!shape) return false;
    HCURSOR cursor = shape->Native ? reinterpret_cast<HCURSOR>(shape->Native) : SystemCursorFor(shape->CssName);
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
  }

  static LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kTerminateMessage && instance_ && instance_->terminationHandler_) {
      const int signal = static_cast<int>(wp);
      GuiGuarded([signal] { instance_->terminationHandler_(signal); });
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  // Ctrl+C and Ctrl+Break count as an interrupt; a closed console, a logoff or a shutdown as
  // a termination (the numbers of SIGINT and SIGTERM, as the C runtime has them).
  static BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (!instance_ || !instance_->appWindow_) return FALSE;
    const int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 2 : 15;
    PostMessageW(instance_->appWindow_, kTerminateMessage, static_cast<WPARAM>(signal), 0);
    return TRUE;
  }

  static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* fw = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!fw || !instance_) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
      case WM_PAINT:
        instance_->Paint(*fw);
        return 0;
      case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
      case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && SetControlCursor(*fw)) return TRUE;
        break;
      case WM_LBUTTONDOWN:
        fw->pressed = ControlAt(*fw, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        if (fw->pressed) SetCapture(hwnd);
        return 0;
      case WM_LBUTTONUP: {
        TControl* pressed = fw->pressed;
        fw->pressed = nullptr;
        if (GetCapture() == hwnd) ReleaseCapture();
        if (pressed && pressed == ControlAt(*fw, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}))
          GuiGuarded([pressed] { pressed->Click(); });
        return 0;
      }
      case WM_CLOSE:
        fw->form->DoCloseRequest();
        return 0;  // the form hides or keeps its window itself
      case WM_TIMER:
        for (auto& [browser, site] : fw->browsers)
          if (reinterpret_cast<UINT_PTR>(site) == wp) {
            instance_->CompleteFor(*fw, browser);
            break;
          }
        KillTimer(hwnd, wp);
        return 0;
      case kCompleteMessage:
        instance_->CompleteFor(*fw, reinterpret_cast<TWebBrowser*>(lp));
        return 0;
      case kShownMessage:
        GuiBackend().WindowShown(*fw->form);
        return 0;
      default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  static inline Win32Backend* instance_ = nullptr;
  bool initialized_ = false;
  bool oleStarted_ = false;
  bool quitRequested_ = false;
  HWND appWindow_ = nullptr;
  std::string title_;
  std::map<TForm*, FormWindow*> forms_;
  std::map<TWebBrowser*, std::u16string> pending_;
  std::map<TLabel*, int> labelPixels_;
  std::function<void(int)> terminationHandler_;
};

}  // namespace

std::unique_ptr<TGuiBackend> CreateWin32Backend() { return std::make_unique<Win32Backend>(); }
