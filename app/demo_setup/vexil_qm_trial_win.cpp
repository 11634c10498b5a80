// The Windows demo setup program that the installer carries as "vexil_qm_trial.exe": a small
// window announcing the product's setup, which closes on its button or by itself after a few
// seconds. It reads nothing from the directory it was started from.
#include <windows.h>

#include "demo_options.h"

namespace {

constexpr int kCloseButton = 1;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kCloseButton) DestroyWindow(hwnd);
      return 0;
    case WM_TIMER:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  demo::LogStart(static_cast<unsigned long>(GetCurrentProcessId()));
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"VexilDemoSetup";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Quillmax Deutsch 3.6 \u2013 Demo-Setup",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 440, 200,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND text = CreateWindowExW(0, L"STATIC",
                              L"Quillmax Deutsch 3.6 \u2013 Demo-Setup\r\n\r\nDie Demoversion wird vorbereitet.\r\n"
                              L"Dieses Fenster schlie\u00dft sich von selbst.",
                              WS_CHILD | WS_VISIBLE, 18, 14, 390, 90, window, nullptr, instance, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"Schlie\u00dfen", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 310, 115,
                                100, 28, window, reinterpret_cast<HMENU>(kCloseButton), instance, nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SetTimer(window, 1, static_cast<UINT>(demo::Seconds()) * 1000, nullptr);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
