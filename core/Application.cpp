#include "Application.h"

#include "PropertyRegistry.h"

TApplication* Application = nullptr;

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TApplication>("TApplication").NoFactory().Build();
  return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (!Application) Application = this;
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

int TApplication::MessageBox(const std::string&, const std::string&, unsigned) { return 0; }

bool ApplicationDestroying() { return Application && Application->IsDestroying(); }
