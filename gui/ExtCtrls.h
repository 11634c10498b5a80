#pragma once
// TImage: shows a picture (a bitmap streamed in the form as "Picture.Data"). With AutoSize
// the control takes the picture's size whenever the picture changes.
#include <memory>

#include "Bitmap.h"
#include "Controls.h"

class TImage : public TControl {
  STOWAWAY_CLASS(TImage, TControl)

  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);

  // The picture has changed: applies AutoSize and redraws.
  void PictureChanged();

  void Loaded() override;

 private:
  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
};
