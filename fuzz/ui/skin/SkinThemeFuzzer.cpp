// Feeds arbitrary theme files to the skin loader (with pictures of sizes
// drawn from the file names) and arbitrary values to the colour parser and
// the border slicing, checking what every loaded skin promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "core/settings/ProfileFile.h"
#include "ui/skin/SkinColour.h"
#include "ui/skin/SkinGeometry.h"
#include "ui/skin/SkinTheme.h"

namespace {

class HashSink : public evdo::SkinPictureSink {
public:
  void ReleaseAll() override {}
  std::optional<evdo::PictureSize> Load(evdo::SkinPicture, const std::string& path) override {
    std::size_t h = std::hash<std::string>{}(path);
    if (h % 7 == 0) return std::nullopt;  // some pictures do not load
    return evdo::PictureSize{static_cast<int>(h % 300), static_cast<int>((h / 300) % 300)};
  }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  HashSink sink;
  evdo::SkinTheme theme = evdo::SkinThemeLoader::Load(evdo::ProfileFile::Parse(text), "skin", sink);
  if (theme.loaded) {
    for (auto p : {evdo::SkinPicture::Top, evdo::SkinPicture::Left, evdo::SkinPicture::Bottom2,
                   evdo::SkinPicture::TopLogo})
      Check(theme.Has(p));
    Check(theme.top.end > theme.top.start || theme.top.start == INT32_MAX);
    Check(theme.buttonImgCount >= 1);
    for (std::size_t i = 0; i < evdo::kTitleButtonCount; ++i) {
      auto b = static_cast<evdo::TitleButton>(i);
      if (theme.Button(b).present) Check(theme.Has(evdo::PictureOf(b)));
      (void)evdo::SkinGeometry::TitleButtonRect(theme, b, 640);
    }
    auto frame = evdo::SkinGeometry::Frame(theme, false, 640, 480);
    for (int y = 0; y < 480; y += 37)
      for (int x = 0; x < 640; x += 41) (void)evdo::SkinGeometry::HitTest(frame, x, y, true);
    for (int width : {0, 1, 17, 5000}) {
      auto spans = evdo::SkinGeometry::ThreeSlice(theme.Size(evdo::SkinPicture::Top).width, theme.top, width);
      Check(spans[2].dstPos + spans[2].dstLen == width);
    }
  }
  (void)evdo::SkinColourValue::Parse(text);
  return 0;
}
