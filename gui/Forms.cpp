#include "Forms.h"

#include <algorithm>

#include "Backend.h"
#include "Controls.h"
#include "core/FormStreaming.h"
#include "GuiApplication.h"
#include "core/MemoryStream.h"
#include "core/ViewStream.h"
#include "core/PropertyRegistry.h"
#include "Trace.h"
#include "platform/winapi.h"
#ifndef _WIN32
#endif

const TTypeNames TFormBorderStyleNames("TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                                                            "bsToolWindow", "bsSizeToolWin"});

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TForm>("TForm")
          .Integer("Left", &TForm::Left, &TForm::SetLeft)
          .NoDefault()
          .Integer("Top", &TForm::Top, &TForm::SetTop)
          .NoDefault()
          .Enum("BorderStyle", TFormBorderStyleNames, &TForm::BorderStyle, &TForm::SetBorderStyle)
          .Default(bsSizeable)
          .String("Caption", &TForm::Caption, &TForm::SetCaption)
          .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
          .NoDefault()
          .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
          .NoDefault()
          .Integer("Color", &TForm::Color, &TForm::SetColor)
          .IntegerType("TColor")
          .Default(clBtnFace)
          .Object("Font", &TForm::Font, &TForm::SetFont)
          .Event("OnActivate", &TForm::OnActivate)
          .Event("OnClose", &TForm::OnClose)
          .Event("OnShow", &TForm::OnShow)
          .Integer("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
          .NoDefault()
          .Integer("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight)
          .NoDefault()
          .Build();
  return info;
}

TForm::TForm(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this] { Changed(); };
}

TForm::~TForm() {
  // The window goes first, so that the components destroyed after it find none.
  font_->OnChange = nullptr;
  if (hasWindow_) GuiBackend().FormDestroyed(*this);
  hasWindow_ = false;
  if (GuiApplication() && GuiApplication()->MainForm() == this) GuiApplication()->MainFormDestroyed();
  Destroying();
  DestroyComponents();
  const std::vector<TControl*> left = controls_;
  for (TControl* c : left) c->SetParent(nullptr);
}

void TForm::SetCaption(const std::string& v) {
  caption_ = v;
  Changed();
}

void TForm::Changed() {
  if (hasWindow_ && !IsLoading() && !IsDestroying()) GuiBackend().FormChanged(*this);
}

void TForm::Show() {
  visible_ = true;
  GuiBackend().ShowForm(*this);
}

void TForm::Hide() {
  visible_ = false;
  active_ = false;
  if (hasWindow_) GuiBackend().HideForm(*this);
}

void TForm::Close() {
  TCloseAction action = caHide;
  OnClose(this, action);
  if (action == caNone) return;
  GuiTrace("close " + Name());
  Hide();
  if (GuiApplication() && GuiApplication()->MainForm() == this) GuiApplication()->Terminate();
}

void TForm::InsertControl(TControl* control) {
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
}

void TForm::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
  TComponent::GetChildren(proc, root);
}

uintptr_t TForm::Handle() const { return hasWindow_ ? GuiBackend().FormHandle(const_cast<TForm&>(*this)) : 0; }

void TForm::DoShown() {
  GuiGuarded([this] {
    if (shownOnce_) return;
    shownOnce_ = true;
    OnShow(this);
    DoActivate();
  });
}

void TForm::DoActivate() {
  GuiGuarded([this] {
    active_ = true;
    GuiTrace("activate " + Name());
    OnActivate(this);
  });
}

void TForm::DoCloseRequest() {
  GuiGuarded([this] { Close(); });
}

void TForm::ReadFormResource() {
  // The form is read where the executable carries it, so its binary properties (a storage's
  // files) are handed on as views rather than copies.
  TViewStream stream = ResourceView(ClassName());
  ReadForm(stream, *this);
  GuiTrace("form-read " + Name());
}

TViewStream ResourceView(const std::string& name) {
  HRSRC info = FindResourceA(nullptr, name.c_str(), RT_RCDATA);
  if (!info) throw EResNotFound("Resource " + name + " not found");
  HGLOBAL data = LoadResource(nullptr, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  const DWORD size = SizeofResource(nullptr, info);
  if (!bytes && size) throw EResNotFound("Resource " + name + " cannot be loaded");
  // A loaded resource stays in place for the program's life: the view needs no keeper.
  return TViewStream(bytes, size);
}
