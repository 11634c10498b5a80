#pragma once
// TControl: a visible component placed on a form at an absolute position (Left, Top, Width,
// Height in pixels of the form's client area), with a cursor, a colour and a font that may
// follow the form's (ParentColor, ParentFont), and a click event.
#include <cstdint>
#include <memory>

#include "core/Component.h"
#include "core/Events.h"
#include "Font.h"
#include "Graphics.h"

class TForm;

class TControl : public TComponent {
  STOWAWAY_CLASS(TControl, TComponent)

  explicit TControl(TComponent* owner);
  ~TControl() override;

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetLeft(int32_t v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int32_t v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int32_t v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int32_t v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);

  // Setting Color clears ParentColor; setting a font property clears ParentFont.
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);

  // The colour and font the control is drawn with (the form's when it follows the form).
  TColor DrawColor() const;
  const TFont& DrawFont() const;

  TForm* Parent() const { return parent_; }
  void SetParent(TForm* parent);
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;

  TNotifyEvent OnClick;
  // The user clicked the control (the backend calls it); fires OnClick.
  virtual void Click();

  void Loaded() override;

 protected:
  // Tells the backend that something shown has changed.
  void Changed();

 private:
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TCursor cursor_ = crDefault;
  bool visible_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  TForm* parent_ = nullptr;
};
