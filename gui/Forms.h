#pragma once
// TForm: a top-level window whose layout and components come from its form resource: the
// binary form carried in the executable under the class name in upper case ("TFORM1"). A
// form class reads it in its constructor (ReadFormResource), so that the components and
// properties are in place, and every component has had Loaded, when construction ends.
//
// The client area is ClientWidth x ClientHeight pixels at PixelsPerInch 96; controls sit at
// absolute positions in it. BorderStyle bsSingle gives a window of fixed size.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Component.h"
#include "core/Events.h"
#include "core/Exceptions.h"
#include "Font.h"
#include "Graphics.h"
#include "core/TypeNames.h"
#include "core/ViewStream.h"

class TControl;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
extern const TTypeNames TFormBorderStyleNames;

enum TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public TComponent {
  STOWAWAY_CLASS(TForm, TComponent)

  explicit TForm(TComponent* owner);
  ~TForm() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  int32_t Left() const { return left_; }
  void SetLeft(int32_t v) {
    left_ = v;
    Changed();
  }
  int32_t Top() const { return top_; }
  void SetTop(int32_t v) {
    top_ = v;
    Changed();
  }
  int32_t ClientWidth() const { return clientWidth_; }
  void SetClientWidth(int32_t v) {
    clientWidth_ = v;
    Changed();
  }
  int32_t ClientHeight() const { return clientHeight_; }
  void SetClientHeight(int32_t v) {
    clientHeight_ = v;
    Changed();
  }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v) {
    borderStyle_ = v;
    Changed();
  }
  TColor Color() const { return color_; }
  void SetColor(TColor v) {
    color_ = v;
    Changed();
  }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int32_t v) { pixelsPerInch_ = v; }
  int32_t TextHeight() const { return textHeight_; }
  void SetTextHeight(int32_t v) { textHeight_ = v; }
  bool Visible() const { return visible_; }

  TNotifyEvent OnActivate;
  TNotifyEvent OnShow;
  TEvent<TObject*, TCloseAction&> OnClose;

  // Shows the window (creating it on first use).
  void Show();
  void Hide();
  // Closes the form: OnClose may keep it open (caNone); otherwise it is hidden, and when it is
  // the application's main form the application terminates (the message loop ends).
  void Close();

  // The controls placed on the form, in the order they were placed (bottom first).
  const std::vector<TControl*>& Controls() const { return controls_; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  // The backend's window exists.
  bool HasWindow() const { return hasWindow_; }
  uintptr_t Handle() const;
  // True between Show and Close.
  bool Active() const { return active_; }

  // Entry points of the backend. Exceptions from handlers reach the application's handler.
  void DoShown();         // the window is on the screen; activates the form the first time
  void DoActivate();      // fires OnActivate
  void DoCloseRequest();  // the user asked to close the window
  void SetHasWindow(bool v) { hasWindow_ = v; }

  // Writing: the controls placed on the form (those the root owns), then the root's other
  // components, as reading expects them.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

 protected:
  // Reads the form resource named after the class (upper case); raises EResNotFound when the
  // executable carries none, and the reader's errors for a bad one.
  void ReadFormResource();
  void Changed();

 private:
  std::string caption_;
  int32_t left_ = 0, top_ = 0;
  int32_t clientWidth_ = 0, clientHeight_ = 0;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TColor color_ = clBtnFace;
  std::unique_ptr<TFont> font_;
  int32_t pixelsPerInch_ = 96;
  int32_t textHeight_ = 13;
  bool visible_ = false;
  bool hasWindow_ = false;
  bool active_ = false;
  bool shownOnce_ = false;
  std::vector<TControl*> controls_;
};

// A resource that the executable does not carry.
class EResNotFound : public Exception {
  using Exception::Exception;
};

// An RT_RCDATA resource of the running executable, read in place; raises EResNotFound.
TViewStream ResourceView(const std::string& name);
