#pragma once
// TLabel: a caption drawn with the label's font on its colour (or transparent). The caption is
// shown exactly as written ('&' is an ordinary character). With AutoSize (the default) the
// label takes the size of its text once it is shown.
#include <string>

#include "Controls.h"

class TLabel : public TControl {
  STOWAWAY_CLASS(TLabel, TControl)

  explicit TLabel(TComponent* owner) : TControl(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) {
    caption_ = v;
    Changed();
  }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) {
    autoSize_ = v;
    Changed();
  }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) {
    transparent_ = v;
    Changed();
  }

 private:
  std::string caption_;
  bool autoSize_ = true;
  bool transparent_ = false;
};
