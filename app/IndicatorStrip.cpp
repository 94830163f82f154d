#include "app/IndicatorStrip.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "app/IndicatorPictures.h"
#include "ui/text/QtText.h"

namespace evdo {
namespace {

// The elements from left to right, in groups: the network, the messages and
// the call, the connection and its traffic. The network status (1) has none.
constexpr int kGroups[][6] = {
    {kIndicatorSignal, kIndicatorNetworkType, kIndicatorRoaming, kIndicatorOperator, kIndicatorService, -1},
    {kIndicatorUnread, kIndicatorInboxFull, kIndicatorCall, -1},
    {kIndicatorConnected, kIndicatorSentKb, kIndicatorReceivedKb, kIndicatorSendRate, kIndicatorReceiveRate, -1},
};

// A text wide enough for what the element usually shows, so that the row
// does not jump as values change.
const char* TypicalText(int indicator) {
  switch (indicator) {
    case kIndicatorOperator: return "Demo Telecom";
    case kIndicatorService: return "Limited Service";
    case kIndicatorSendRate:
    case kIndicatorReceiveRate: return "0000000 bps";
    case kIndicatorSentKb:
    case kIndicatorReceivedKb: return "Received: 000000 KB";
    default: return nullptr;
  }
}

StringId ToolTip(int indicator) {
  switch (indicator) {
    case kIndicatorSignal: return kStrTipSignal;
    case kIndicatorNetworkType: return kStrTipNetworkType;
    case kIndicatorRoaming: return kStrTipRoaming;
    case kIndicatorOperator: return kStrTipOperator;
    case kIndicatorService: return kStrTipService;
    case kIndicatorUnread: return kStrTipUnread;
    case kIndicatorInboxFull: return kStrTipInboxFull;
    case kIndicatorCall: return kStrTipCall;
    case kIndicatorConnected: return kStrTipConnected;
    case kIndicatorSentKb: return kStrTipSentKb;
    case kIndicatorReceivedKb: return kStrTipReceivedKb;
    case kIndicatorSendRate: return kStrTipSendRate;
    case kIndicatorReceiveRate: return kStrTipReceiveRate;
    default: return 0;
  }
}

QFrame* Separator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::VLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

CIndicatorStrip::CIndicatorStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("indicators");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 3, 8, 3);
  layout->setSpacing(8);
  bool firstGroup = true;
  for (const auto& group : kGroups) {
    if (!firstGroup) layout->addWidget(Separator(this));
    firstGroup = false;
    for (int indicator : group) {
      if (indicator < 0) break;
      auto* label = new QLabel(this);
      label->setObjectName(QString("indicator%1").arg(indicator));
      if (StringId tip = ToolTip(indicator)) label->setToolTip(Str(tip));
      // The operator's name comes from the network: never read as markup.
      label->setTextFormat(Qt::PlainText);
      if (const char* typical = TypicalText(indicator)) {
        QString sample = QString::fromLatin1(typical);
        if (indicator == kIndicatorSentKb || indicator == kIndicatorReceivedKb)
          sample = Str(indicator == kIndicatorSentKb ? kStrSentPrefix : kStrReceivedPrefix) + " 000000 KB";
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sample));
      } else {
        label->setFixedSize(26, 18);
        label->setAlignment(Qt::AlignCenter);
      }
      labels_[Index(indicator)] = label;
      layout->addWidget(label);
    }
    if (group[0] == kIndicatorSignal) layout->addStretch(1);
  }
}

std::size_t CIndicatorStrip::Index(int indicator) {
  return static_cast<std::size_t>(indicator < 0 || indicator >= kIndicatorCount ? kIndicatorNetworkStatus
                                                                                 : indicator);
}

QString CIndicatorStrip::TextOf(int indicator) const {
  QLabel* label = labels_[Index(indicator)];
  return label ? label->text() : QString();
}

QPixmap CIndicatorStrip::Picture(int pictureId) {
  auto it = cache_.find(pictureId);
  if (it != cache_.end()) return *it;
  QPixmap picture;
  std::string path = IndicatorPicturePath(pictureId);
  if (!path.empty()) picture.load(QString::fromStdString(path));
  cache_.insert(pictureId, picture);
  return picture;
}

void CIndicatorStrip::Apply(const IndicatorChange& change) {
  QLabel* label = labels_[Index(change.indicator)];
  if (label == nullptr) return;
  switch (change.show) {
    case IndicatorChange::Show::Picture:
      pictures_[Index(change.indicator)] = change.pictureId;
      label->setPixmap(Picture(change.pictureId));
      break;
    case IndicatorChange::Show::Text: {
      QString text = change.stringId != 0 ? Str(change.stringId) : QString();
      text += FromAnsi(change.text);
      label->setText(text);
      break;
    }
    case IndicatorChange::Show::Nothing: return;
  }
  label->repaint();  // every changed indicator is redrawn at once
}

}  // namespace evdo
