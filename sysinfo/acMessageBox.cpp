#include "acMessageBox.h"

#include <utility>

#include "core/Application.h"

namespace {
// Set once by the windowing layer before any form exists; used on the GUI thread only.
TMessageBoxHook& InstalledHook() {
  static TMessageBoxHook hook;
  return hook;
}
}  // namespace

TMessageBoxHook SetApplicationMessageBox(TMessageBoxHook hook) {
  TMessageBoxHook previous = std::move(InstalledHook());
  InstalledHook() = std::move(hook);
  return previous;
}

int ApplicationMessageBox(const std::string& text, const std::string& caption, int flags) {
  // A copy, so that a hook that replaces itself while it runs stays alive until it returns.
  TMessageBoxHook hook = InstalledHook();
  if (hook) return hook(text, caption, flags);
  return Application ? Application->MessageBox(text, caption, static_cast<unsigned>(flags)) : 0;
}
