#include "Controls.h"

#include "Backend.h"
#include "Forms.h"
#include "core/PropertyRegistry.h"

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TControl>("TControl")
                                     .NoFactory()
                                     .Integer("Left", &TControl::Left, &TControl::SetLeft)
                                     .NoDefault()
                                     .Integer("Top", &TControl::Top, &TControl::SetTop)
                                     .NoDefault()
                                     .Integer("Width", &TControl::Width, &TControl::SetWidth)
                                     .NoDefault()
                                     .Integer("Height", &TControl::Height, &TControl::SetHeight)
                                     .NoDefault()
                                     .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor)
                                     .IntegerType("TCursor")
                                     .Integer("Color", &TControl::Color, &TControl::SetColor)
                                     .IntegerType("TColor")
                                     .Stored([](TControl& c) { return !c.ParentColor(); })
                                     .Object("Font", &TControl::Font, &TControl::SetFont)
                                     .Stored([](TControl& c) { return !c.ParentFont(); })
                                     .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
                                     .Default(true)
                                     .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
                                     .Default(true)
                                     .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
                                     .Default(true)
                                     .Event("OnClick", &TControl::OnClick)
                                     .Build();
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this] {
    parentFont_ = false;
    Changed();
  };
}

TControl::~TControl() {
  font_->OnChange = nullptr;
  if (parent_) {
    if (parent_->HasWindow()) GuiBackend().ControlDestroyed(*this);
    parent_->RemoveControl(this);
  }
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

void TControl::SetCursor(TCursor v) {
  cursor_ = v;
  Changed();
}

void TControl::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

void TControl::SetColor(TColor v) {
  color_ = v;
  parentColor_ = false;
  Changed();
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  Changed();
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  Changed();
}

TColor TControl::DrawColor() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

const TFont& TControl::DrawFont() const { return parentFont_ && parent_ ? *parent_->Font() : *font_; }

void TControl::SetParent(TForm* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (parent_) parent_->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* form = dynamic_cast<TForm*>(parent)) SetParent(form);
}

void TControl::Click() { OnClick(this); }

void TControl::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TControl::Changed() {
  if (IsLoading() || IsDestroying()) return;
  if (parent_ && parent_->HasWindow()) GuiBackend().ControlChanged(*this);
}
