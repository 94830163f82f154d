#include "ui/skin/SkinTheme.h"

#include <algorithm>
#include <limits>

#include "core/settings/ProfileFile.h"
#include "ui/skin/SkinPaths.h"

namespace evdo {
namespace {

constexpr const char* kPersonality = "Personality";
constexpr const char* kColours = "Colours";
constexpr const char* kButtons = "Buttons";

struct RequiredPicture {
  SkinPicture slot;
  const char* key;
};
// In the order they load; the first one missing ends the load.
constexpr RequiredPicture kRequired[] = {
    {SkinPicture::Top, "Top"},         {SkinPicture::Left, "Left"},
    {SkinPicture::Right, "Right"},     {SkinPicture::Bottom, "Bottom"},
    {SkinPicture::Bottomc, "Bottomc"}, {SkinPicture::Top2, "Top2"},
    {SkinPicture::Left2, "Left2"},     {SkinPicture::Right2, "Right2"},
    {SkinPicture::Bottom2, "Bottom2"}, {SkinPicture::TopLogo, "TopLogo"},
};

BorderSlice Slice(int start, int end) {
  if (start < end) return {start, end};
  return {start, start < std::numeric_limits<int>::max() ? start + 1 : start};
}

class Reader {
public:
  Reader(const ProfileFile& profile, const std::string& folder, SkinPictureSink& sink)
      : profile_(profile), folder_(folder), sink_(sink) {}

  SkinTheme Read() {
    LoadPicture(SkinPicture::DialogBmp, kPersonality, "DialogBmp");
    for (const auto& required : kRequired) {
      if (!LoadPicture(required.slot, kPersonality, required.key)) {
        sink_.ReleaseAll();
        return SkinTheme{};
      }
    }
    ReadSlices();
    ReadTitleButtons();
    ReadText();
    ReadColours();
    ReadPushButton();
    theme_.loaded = true;
    return theme_;
  }

private:
  bool LoadPicture(SkinPicture slot, const char* section, const char* key) {
    auto value = profile_.Get(section, key);
    if (!value) return false;
    std::string path = SkinPaths::PicturePath(folder_, *value);
    if (path.empty()) return false;
    auto size = sink_.Load(slot, path);
    if (!size || size->width <= 0 || size->height <= 0) return false;
    theme_.pictures[static_cast<std::size_t>(slot)] = *size;
    return true;
  }

  std::int32_t Number(const char* section, const char* key, std::int32_t def = 0) const {
    return profile_.GetInt(section, key, def);
  }

  void ReadSlices() {
    auto width = [&](SkinPicture p) { return theme_.Size(p).width; };
    auto height = [&](SkinPicture p) { return theme_.Size(p).height; };
    theme_.top = Slice(Number(kPersonality, "TopTopHeight"),
                       width(SkinPicture::Top) - Number(kPersonality, "TopBotHeight"));
    theme_.left = Slice(Number(kPersonality, "LeftTopHeight"),
                        height(SkinPicture::Left) - Number(kPersonality, "LeftBotHeight"));
    theme_.right = Slice(Number(kPersonality, "RightTopHeight"),
                         height(SkinPicture::Right) - Number(kPersonality, "RightBotHeight"));
    std::int32_t bottomEnd = Number(kPersonality, "BottomBotHeight");
    theme_.bottom = Slice(Number(kPersonality, "BottomTopHeight"), width(SkinPicture::Bottom) - bottomEnd);
    theme_.bottom2End = Slice(theme_.bottom.start, width(SkinPicture::Bottom2) - bottomEnd).end;
    theme_.buttonImgCount = std::max(1, Number(kPersonality, "ButtonImgCount", kDefaultButtonImgCount));
  }

  // The button an "Action" value files a section as, or nullopt.
  std::optional<TitleButton> ButtonFor(std::int32_t action) {
    switch (action) {
      case kActionClose: return TitleButton::Close;
      case kActionMinimise: return TitleButton::Minimise;
      case kActionExtra1: return TitleButton::Extra1;
      case kActionExtra2: return TitleButton::Extra2;
      case kActionMaximiseRestore:
        ++maximiseSections_;
        if (maximiseSections_ == 1) return TitleButton::Maximise;
        if (maximiseSections_ == 2) return TitleButton::Restore;
        return std::nullopt;
      default: return std::nullopt;
    }
  }

  void ReadTitleButtons() {
    std::int32_t count = std::min(Number(kPersonality, "ButtonCount"), kMaxButtonSections);
    for (std::int32_t i = 0; i < count; ++i) {
      std::string section = "Button" + std::to_string(i);
      auto button = ButtonFor(Number(section.c_str(), "Action"));
      if (!button) continue;
      auto& place = theme_.buttons[static_cast<std::size_t>(*button)];
      if (place.present) continue;  // the first section of an action keeps it
      if (!LoadPicture(PictureOf(*button), section.c_str(), "ButtonImage")) continue;
      place = {true, Number(section.c_str(), "XCoord"), Number(section.c_str(), "YCoord")};
    }
  }

  void ReadText() {
    theme_.textShift = Number(kPersonality, "TextShift");
    theme_.textShiftVert = Number(kPersonality, "TextShiftVert");
    theme_.usesTran = Number(kPersonality, "UsesTran") != 0;
  }

  SkinColour Colour(const char* key, SkinColour def) const {
    auto value = profile_.Get(kColours, key);
    auto parsed = value ? SkinColourValue::Parse(*value) : std::nullopt;
    return parsed ? parsed : def;
  }

  void ReadColours() {
    theme_.titleText = Colour("TitleText", std::nullopt);
    theme_.inactiveTitleText = Colour("InactiveTitleText", std::nullopt);
    if (theme_.usesTran) theme_.transColour = *Colour("TransColor", kDefaultTransColour);
    theme_.barColour = *Colour("BarColor", kDefaultBarColour);
    theme_.menuColour = *Colour("MenuColor", kDefaultBarColour);
    theme_.buttonFace = Colour("ButtonFace", std::nullopt);
    theme_.buttonText = Colour("ButtonText", std::nullopt);
    theme_.buttonHilight = Colour("ButtonHilight", std::nullopt);
    theme_.buttonFocus = Colour("ButtonFocus", std::nullopt);
  }

  void ReadPushButton() {
    if (!LoadPicture(SkinPicture::PushButton, kButtons, "Bitmap")) return;
    theme_.hasPushButton = true;
    theme_.pushButton = {Number(kButtons, "TopHeight"), Number(kButtons, "BottomHeight"),
                         Number(kButtons, "LeftWidth"), Number(kButtons, "RightWidth"),
                         Number(kButtons, "Trans")};
  }

  const ProfileFile& profile_;
  const std::string& folder_;
  SkinPictureSink& sink_;
  SkinTheme theme_;
  int maximiseSections_ = 0;
};

}  // namespace

SkinPicture PictureOf(TitleButton button) {
  return static_cast<SkinPicture>(static_cast<int>(SkinPicture::CloseButton) + static_cast<int>(button));
}

SkinTheme SkinThemeLoader::Load(const std::string& themeFile, SkinPictureSink& sink) {
  sink.ReleaseAll();
  if (themeFile.empty()) return SkinTheme{};
  ProfileFile profile;
  if (ProfileFile::Load(themeFile, profile).status != LoadStatus::Loaded) return SkinTheme{};
  return Load(profile, SkinPaths::ThemeFolder(themeFile), sink);
}

SkinTheme SkinThemeLoader::Load(const ProfileFile& profile, const std::string& themeFolder,
                                SkinPictureSink& sink) {
  sink.ReleaseAll();
  return Reader(profile, themeFolder, sink).Read();
}

}  // namespace evdo
