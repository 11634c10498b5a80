#pragma once
// TFont: the font of a form or control, streamed as "Font.Name", "Font.Height" and so on.
// Height is the character height in pixels, negative as forms store it (-11 is 11 pixels).
#include <functional>
#include <string>

#include "Graphics.h"
#include "core/Persistent.h"
#include "core/SetOf.h"
#include "core/TypeNames.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
extern const TTypeNames TFontStyleNames;

class TFont : public TPersistent {
  STOWAWAY_CLASS(TFont, TPersistent)

  TFont() = default;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) {
    name_ = v;
    Changed();
  }
  int32_t Height() const { return height_; }
  void SetHeight(int32_t v) {
    height_ = v;
    Changed();
  }
  TColor Color() const { return color_; }
  void SetColor(TColor v) {
    color_ = v;
    Changed();
  }
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset v) {
    charset_ = v;
    Changed();
  }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v) {
    style_ = v;
    Changed();
  }
  // The size in points at 96 pixels per inch: Height = -Size * 96 / 72.
  int32_t Size() const;

  void Assign(TPersistent* source) override;

  // Called after every change (the owning control re-applies its font).
  std::function<void()> OnChange;

  // The pixel height of the characters (always positive).
  int32_t PixelHeight() const { return height_ < 0 ? -height_ : height_; }

 private:
  void Changed() {
    if (OnChange) OnChange();
  }

  std::string name_ = "MS Sans Serif";
  int32_t height_ = -11;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontStyles style_;
};
