#include "StdCtrls.h"

#include "core/PropertyRegistry.h"

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TLabel>("TLabel")
                                     .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
                                     .Default(true)
                                     .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
                                     .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
                                     .Build();
  return info;
}
