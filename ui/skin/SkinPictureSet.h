#pragma once
// The decoded pictures of one skin.
#include <QImage>

#include <array>

#include "ui/skin/SkinTheme.h"

namespace evdo {

class SkinPictureSet : public SkinPictureSink {
public:
  void ReleaseAll() override;
  // Reads the whole file and decodes it by its content (BMP, PNG, JPEG and
  // the other formats Qt reads).
  std::optional<PictureSize> Load(SkinPicture slot, const std::string& path) override;

  const QImage& Picture(SkinPicture slot) const { return pictures_[static_cast<std::size_t>(slot)]; }

  // Makes every pixel of colour key transparent: in the frame, logo and
  // title-bar button pictures when framePictures is set, in the push button
  // picture when pushButton is set.
  void MakeTransparent(SkinRgb key, bool framePictures, bool pushButton);

private:
  std::array<QImage, kSkinPictureCount> pictures_;
};

}  // namespace evdo
