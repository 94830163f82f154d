#include "ui/skin/SkinPictureSet.h"

#include <QFile>

namespace evdo {
namespace {

void ClearColour(QImage& image, QRgb key) {
  if (image.isNull()) return;
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0xFFFFFFu) == (key & 0xFFFFFFu) && qAlpha(line[x]) == 255) line[x] = 0;
  }
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

void SkinPictureSet::ReleaseAll() {
  for (auto& picture : pictures_) picture = QImage();
}

std::optional<PictureSize> SkinPictureSet::Load(SkinPicture slot, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QImage image = QImage::fromData(file.readAll());
  if (image.isNull()) return std::nullopt;
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  pictures_[static_cast<std::size_t>(slot)] = image;
  return PictureSize{image.width(), image.height()};
}

void SkinPictureSet::MakeTransparent(SkinRgb key, bool framePictures, bool pushButton) {
  QRgb rgb = qRgb(key.red, key.green, key.blue);
  for (std::size_t i = 0; i < kSkinPictureCount; ++i) {
    auto slot = static_cast<SkinPicture>(i);
    if (slot == SkinPicture::DialogBmp) continue;
    if (slot == SkinPicture::PushButton ? pushButton : framePictures) ClearColour(pictures_[i], rgb);
  }
}

}  // namespace evdo
