#include "app/IndicatorStrip.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "app/IndicatorPictures.h"
#include "app/QtText.h"

namespace evdo {
namespace {

// The elements from left to right; the network status (1) has none.
constexpr int kOrder[] = {
    kIndicatorSignal, kIndicatorNetworkType, kIndicatorRoaming, kIndicatorOperator, kIndicatorService,
    kIndicatorUnread, kIndicatorInboxFull,   kIndicatorCall,    kIndicatorConnected, kIndicatorSentKb,
    kIndicatorReceivedKb, kIndicatorSendRate, kIndicatorReceiveRate,
};

bool IsText(int indicator) {
  switch (indicator) {
    case kIndicatorOperator:
    case kIndicatorService:
    case kIndicatorSendRate:
    case kIndicatorReceiveRate:
    case kIndicatorSentKb:
    case kIndicatorReceivedKb: return true;
    default: return false;
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
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(6);
  for (int indicator : kOrder) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("indicator%1").arg(indicator));
    if (IsText(indicator)) {
      label->setMinimumWidth(indicator == kIndicatorOperator ? 90 : 60);
    } else {
      label->setFixedSize(26, 18);
      label->setAlignment(Qt::AlignCenter);
    }
    labels_[Index(indicator)] = label;
    layout->addWidget(label);
    if (indicator == kIndicatorService || indicator == kIndicatorConnected) layout->addWidget(Separator(this));
  }
  layout->addStretch(1);
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
