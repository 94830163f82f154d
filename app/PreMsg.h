#pragma once
// The picture window (template 179): a borderless window that shows a
// picture with magenta (255, 0, 255) as its transparent colour and a line of
// progress text under it. Start-up, the device initialisation, the resume
// sequence and the removal of the device show it.
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;

namespace evdo {

class PreMsg : public QWidget {
  Q_OBJECT

public:
  static constexpr QRgb kTransparent = 0xFFFF00FF;

  explicit PreMsg(QWidget* parent = nullptr);

  // Loads the picture (a path as the settings give it); the colour becomes
  // transparent. False, and a plain panel with the application's name, when
  // it cannot be loaded.
  bool SetPicture(const std::string& ansiPath, QColor transparent = QColor::fromRgb(kTransparent));
  bool HasPicture() const { return !picture_.isNull(); }

  void SetText(const QString& text);
  QString Text() const;
  // The progress text gains one ".".
  void AddDot();

  // Shows the window centred on the screen and paints it at once.
  void ShowCentred();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void Layout();

  QPixmap picture_;
  QLabel* text_;
};

}  // namespace evdo
