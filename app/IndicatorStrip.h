#pragma once
// The main window's row of status indicators: one display element per
// indicator number, a picture or a text, changed by the status message.
#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <array>

#include "app/StatusIndicators.h"

class QLabel;

namespace evdo {

class CIndicatorStrip : public QWidget {
  Q_OBJECT

public:
  explicit CIndicatorStrip(QWidget* parent = nullptr);

  // Shows a resolved change at once.
  void Apply(const IndicatorChange& change);

  // What an element shows now: its picture id (0 when it shows none) and
  // its text.
  int PictureOf(int indicator) const { return pictures_[Index(indicator)]; }
  QString TextOf(int indicator) const;
  QLabel* Element(int indicator) const { return labels_[Index(indicator)]; }

private:
  static std::size_t Index(int indicator);
  QPixmap Picture(int pictureId);

  std::array<QLabel*, kIndicatorCount> labels_{};
  std::array<int, kIndicatorCount> pictures_{};
  QHash<int, QPixmap> cache_;
};

}  // namespace evdo
