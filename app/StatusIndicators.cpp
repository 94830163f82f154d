#include "app/StatusIndicators.h"

#include "app/IndicatorPictures.h"

#include <array>
#include <cstdio>

namespace evdo {
namespace {

using Show = IndicatorChange::Show;

struct PictureTable {
  int indicator;
  std::array<int, 10> pictures;  // by value; 0 ends the table
};

// Value -> picture of every image indicator.
constexpr PictureTable kPictureTables[] = {
    {kIndicatorRoaming, {kPicBlank, kPicRoaming, kPicRoaming, 229, 230, 231, 232, 233, 234, kPicBlank}},
    {kIndicatorUnread, {kPicBlank, kPicUnread}},
    {kIndicatorInboxFull, {kPicBlank, 238, kPicBlank, 240, 241}},
    {kIndicatorCall, {kPicBlank, 246, kPicBlank, 4084, 4083}},
    {kIndicatorNetworkType, {kPicBlank, 4084, 4083}},
};

int PictureFor(int indicator, LParam value) {
  for (const auto& table : kPictureTables) {
    if (table.indicator != indicator) continue;
    if (value < 0 || value >= static_cast<LParam>(table.pictures.size())) return 0;
    return table.pictures[static_cast<std::size_t>(value)];
  }
  return 0;
}

IndicatorChange Picture(int indicator, int pictureId) {
  IndicatorChange c;
  c.indicator = indicator;
  if (pictureId != 0) {
    c.show = Show::Picture;
    c.pictureId = pictureId;
  }
  return c;
}

IndicatorChange Text(int indicator, StringId stringId, std::string text) {
  IndicatorChange c;
  c.show = Show::Text;
  c.indicator = indicator;
  c.stringId = stringId;
  c.text = std::move(text);
  return c;
}

std::string Format(const char* format, LParam value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
  return buffer;
}

// Numbers the status message carries are 32-bit on the wire of the window
// message; anything wider is not a value any sender produces.
bool FitsInt(LParam value) { return value >= INT32_MIN && value <= INT32_MAX; }

}  // namespace

IndicatorChange ResolveIndicator(int indicator, LParam value, const IndicatorContext& context) {
  switch (indicator) {
    case kIndicatorSignal: {
      // The window shows the bars itself as well as handing the level on.
      IndicatorChange c = Picture(indicator, SignalPicture(static_cast<long>(value)));
      if (c.show == Show::Nothing) return c;
      c.forward = true;
      c.forwardKind = kInternetSignal;
      return c;
    }
    case kIndicatorOperator:
      if (value == 1 && !context.operatorText.empty())
        return Text(indicator, 0, std::string(context.operatorText));
      return Text(indicator, kStrNoNetwork, "");
    case kIndicatorService:
      if (value == 0) return Text(indicator, kStrServiceNone, "");
      if (value == 1) return Text(indicator, kStrServiceLimited, "");
      return Text(indicator, 0, "");
    case kIndicatorCall:
      if (!context.callPage) return IndicatorChange{};
      return Picture(indicator, PictureFor(indicator, value));
    case kIndicatorNetworkType: {
      IndicatorChange c = Picture(indicator, PictureFor(indicator, value));
      if (c.show == Show::Nothing) return c;
      c.forward = true;
      c.forwardKind = kInternetNetworkType;
      return c;
    }
    case kIndicatorSendRate:
    case kIndicatorReceiveRate:
      if (!FitsInt(value)) return IndicatorChange{};
      return Text(indicator, 0, Format("%d bps", value));
    case kIndicatorSentKb:
      if (!FitsInt(value)) return IndicatorChange{};
      return Text(indicator, kStrSentPrefix, Format(" %d KB", value));
    case kIndicatorReceivedKb:
      if (!FitsInt(value)) return IndicatorChange{};
      return Text(indicator, kStrReceivedPrefix, Format(" %d KB", value));
    case kIndicatorConnected:
      return Picture(indicator, value != 0 ? kPicConnected : kPicNotConnected);
    case kIndicatorRoaming:
    case kIndicatorUnread:
    case kIndicatorInboxFull:
      return Picture(indicator, PictureFor(indicator, value));
    default:  // 1 (network status) and unknown numbers show nothing
      return IndicatorChange{};
  }
}

}  // namespace evdo
