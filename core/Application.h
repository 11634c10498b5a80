#pragma once
// TApplication: the application object, a component kept in the global Application pointer.
// The core part holds the title and the component state; its destructor sets csDestroying
// before anything it owns is freed, so code running during shutdown can tell (the library's
// lists deliver no events then). The GUI layer derives from it.
#include <string>

#include "Component.h"

class TApplication : public TComponent {
  STOWAWAY_CLASS(TApplication, TComponent)

  // The first application object created becomes the global Application.
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  const std::string& Title() const { return title_; }

  // Shows a modal message box and returns the button pressed. The core has no windows: it
  // shows nothing and returns 0; the GUI layer's application object overrides it.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  void SetTitle(const std::string& title) { title_ = title; }

 private:
  std::string title_;
};

// The application object, or nullptr when none exists.
extern TApplication* Application;

// True while the application object is being destroyed.
bool ApplicationDestroying();
