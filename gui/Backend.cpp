#include "Backend.h"

namespace {
std::unique_ptr<TGuiBackend>& Slot() {
  static std::unique_ptr<TGuiBackend> backend;
  return backend;
}
}  // namespace

TGuiBackend& GuiBackend() {
  if (!Slot()) Slot() = CreateGtkBackend();
  return *Slot();
}

void SetGuiBackend(std::unique_ptr<TGuiBackend> backend) { Slot() = std::move(backend); }
