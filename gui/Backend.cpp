#include "Backend.h"

namespace {
std::unique_ptr<TGuiBackend>& Slot() {
  static std::unique_ptr<TGuiBackend> backend;
  return backend;
}
}  // namespace

TGuiBackend& GuiBackend() {
#ifdef _WIN32
  if (!Slot()) Slot() = CreateWin32Backend();
#else
  if (!Slot()) Slot() = CreateGtkBackend();
#endif
  return *Slot();
}

void SetGuiBackend(std::unique_ptr<TGuiBackend> backend) { Slot() = std::move(backend); }
