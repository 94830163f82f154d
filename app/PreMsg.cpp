#include "app/PreMsg.h"

#include <QApplication>
#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/text/QtText.h"
#include "ui/skin/SkinPaths.h"

namespace evdo {
namespace {

constexpr int kTextHeight = 24;
const QSize kPlainSize(360, 150);

}  // namespace

PreMsg::PreMsg(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      text_(new QLabel(this)) {
  setAutoFillBackground(true);
  text_->setAlignment(Qt::AlignCenter);
  text_->setTextFormat(Qt::PlainText);
  text_->setObjectName("progress");
  QFont font = text_->font();
  font.setPointSize(font.pointSize() + 4);
  font.setBold(true);
  text_->setFont(font);
  Layout();
}

bool PreMsg::SetPicture(const std::string& ansiPath, QColor transparent) {
  picture_ = QPixmap();
  std::string path = SkinPaths::FileSystemPath(ansiPath);
  QPixmap loaded;
  if (!path.empty() && loaded.load(QString::fromStdString(path))) {
    loaded.setMask(loaded.createMaskFromColor(transparent, Qt::MaskInColor));
    picture_ = loaded;
  }
  Layout();
  update();
  return HasPicture();
}

void PreMsg::SetText(const QString& text) {
  text_->setText(text);
  if (isVisible()) repaint();
}

QString PreMsg::Text() const { return text_->text(); }

void PreMsg::AddDot() { SetText(Text() + "."); }

void PreMsg::Layout() {
  QSize area = HasPicture() ? picture_.size() : kPlainSize;
  setFixedSize(area.width(), area.height() + kTextHeight);
  text_->setGeometry(0, area.height(), area.width(), kTextHeight);
  // The transparent colour cuts the window's shape, as a colour key would.
  if (HasPicture())
    setMask(QRegion(picture_.mask()) + QRegion(text_->geometry()));
  else
    clearMask();
}

void PreMsg::ShowCentred() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect available = screen->availableGeometry();
    move(available.center() - rect().center());
  }
  show();
  raise();
  repaint();
  QApplication::processEvents();
}

void PreMsg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (HasPicture()) {
    painter.drawPixmap(0, 0, picture_);
    return;
  }
  // No picture: a plain panel with the application's name.
  QRect panel = rect();
  painter.fillRect(panel, palette().window());
  painter.setPen(palette().mid().color());
  painter.drawRect(panel.adjusted(0, 0, -1, -1));
  QFont font = painter.font();
  font.setPointSize(font.pointSize() + 6);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(palette().windowText().color());
  painter.drawText(QRect(0, 0, width(), kPlainSize.height()), Qt::AlignCenter, Str(kStrAppTitle));
}

}  // namespace evdo
