#include "app/IndicatorPictures.h"

#include "app/StatusIndicators.h"

namespace evdo {
namespace {

struct PictureFile {
  int id;
  const char* file;
};

constexpr PictureFile kFiles[] = {
    {229, "signal_0.png"},     {230, "signal_1.png"},    {231, "signal_2.png"},
    {232, "signal_3.png"},     {233, "signal_4.png"},    {234, "signal_5.png"},
    {kPicSignalNone, "signal_none.png"},
    {kPicUnread, "sms_unread.png"},
    {238, "sms_full.png"},
    {246, "call_incoming.png"},
    {kPicRoaming, "roaming_on.png"},
    {4083, "net_evdo.png"},    {4084, "net_1x.png"},
    {kPicConnected, "connected.png"}, {kPicNotConnected, "disconnected.png"},
    {kPicTrayIcon, "tray.png"},
    {kPicMainIcon, "app_icon.png"},
};

}  // namespace

int SignalPicture(long level) {
  if (level < 0 || level > kSignalNone) return 0;
  return level == kSignalNone ? kPicSignalNone : kPicSignalLevel0 + static_cast<int>(level);
}

std::string IndicatorPictureFile(int pictureId) {
  for (const auto& f : kFiles)
    if (f.id == pictureId) return f.file;
  return "";
}

std::string IndicatorPicturePath(int pictureId) {
  std::string file = IndicatorPictureFile(pictureId);
  return file.empty() ? "" : std::string(kIndicatorFolder) + "/" + file;
}

}  // namespace evdo
