#include "Font.h"

#include "core/PropertyRegistry.h"

const TTypeNames TFontStyleNames("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFont>("TFont")
                                     .Integer("Charset", &TFont::Charset, &TFont::SetCharset)
                                     .IntegerType("TFontCharset")
                                     .NoDefault()
                                     .Integer("Color", &TFont::Color, &TFont::SetColor)
                                     .IntegerType("TColor")
                                     .NoDefault()
                                     .Integer("Height", &TFont::Height, &TFont::SetHeight)
                                     .NoDefault()
                                     .String("Name", &TFont::Name, &TFont::SetName)
                                     .NoDefault()
                                     .Set("Style", TFontStyleNames, &TFont::Style, &TFont::SetStyle)
                                     .NoDefault()
                                     .Build();
  return info;
}

int32_t TFont::Size() const {
  // Rounded to the nearest point, as font dialogs show it.
  const int32_t px = PixelHeight();
  return (px * 72 + 48) / 96;
}

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    name_ = f->name_;
    height_ = f->height_;
    color_ = f->color_;
    charset_ = f->charset_;
    style_ = f->style_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}
