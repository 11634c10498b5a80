#include "ExtCtrls.h"

#include "core/PropertyRegistry.h"

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImage>("TImage")
                                     .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                     .Object("Picture", &TImage::Picture, &TImage::SetPicture)
                                     .Build();
  return info;
}

TImage::TImage(TComponent* owner) : TControl(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this] { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetPicture(TPicture* v) { picture_->Assign(v); }

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged();
}

void TImage::PictureChanged() {
  if (autoSize_ && picture_->HasGraphic()) SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  Changed();
}

void TImage::Loaded() {
  TControl::Loaded();
  PictureChanged();
}
