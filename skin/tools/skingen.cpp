// skingen: draws the shipped skins ("light", "dark") with their theme files,
// and the indicator, tray and application pictures, into a folder:
//   skingen OUT   writes OUT/light, OUT/dark and OUT/indicators
#include <QString>

#include <cstdio>

#include "skin/tools/IndicatorArt.h"
#include "skin/tools/SkinArt.h"

int main(int argc, char** argv) {
  using namespace evdo::skingen;
  if (argc != 2) {
    std::fprintf(stderr, "usage: skingen OUT\n");
    return 2;
  }
  QString out = QString::fromLocal8Bit(argv[1]);
  SkinLook light = LightLook();
  SkinLook dark = DarkLook();
  bool ok = SkinArt(light).WriteAll(out + "/light") && SkinArt(dark).WriteAll(out + "/dark") &&
            IndicatorArt::WriteAll(out + "/indicators");
  if (!ok) {
    std::fprintf(stderr, "skingen: cannot write the pictures into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
