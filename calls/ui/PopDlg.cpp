#include "calls/ui/PopDlg.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/text/QtText.h"
#include "calls/ui/RingSound.h"
#include "ui/StringIds.h"

namespace evdo {


CPopDlg::CPopDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ring_(new CRingSound(this)) {
  setObjectName(QString("CPopDlg%1").arg(kTemplateId));
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 10, 14, 12);
  title_ = new QLabel(this);
  title_->setObjectName("title");
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  number_ = new QLabel(this);
  number_->setObjectName("number");
  number_->setTextFormat(Qt::PlainText);
  QFont big = number_->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  number_->setFont(big);
  name_ = new QLabel(this);
  name_->setObjectName("name");
  name_->setTextFormat(Qt::PlainText);
  layout->addWidget(title_);
  layout->addWidget(number_);
  layout->addWidget(name_);
  auto* buttons = new QHBoxLayout;
  answer_ = new QPushButton(this);
  answer_->setObjectName("answer");
  reject_ = new QPushButton(this);
  reject_->setObjectName("reject");
  ignore_ = new QPushButton(this);
  ignore_->setObjectName("ignore");
  for (QPushButton* b : {answer_, reject_, ignore_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  answer_->setDefault(true);
  connect(answer_, &QPushButton::clicked, this, [this] {
    if (onAnswer) onAnswer();
  });
  connect(reject_, &QPushButton::clicked, this, [this] {
    if (onReject) onReject();
  });
  connect(ignore_, &QPushButton::clicked, this, [this] {
    Hide();
    if (onIgnore) onIgnore();
  });
  Retranslate();
  setMinimumWidth(280);
}

CPopDlg::~CPopDlg() { ring_->Stop(); }

void CPopDlg::Retranslate() {
  title_->setText(Str(kStrTitleIncomingCall));
  answer_->setText(Str(kStrButtonAnswer));
  reject_->setText(Str(kStrButtonReject));
  ignore_->setText(Str(kStrButtonIgnore));
  setWindowTitle(Str(kStrTitleIncomingCall));
}

QString CPopDlg::NumberText() const { return number_->text(); }
QString CPopDlg::NameText() const { return name_->text(); }

QPoint CPopDlg::FinalPosition() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QSize size = sizeHint().expandedTo(minimumSize());
  return {area.right() - size.width() - 8, area.bottom() - size.height() - 8};
}

void CPopDlg::ShowCall(const QString& number, const QString& name) {
  number_->setText(number.isEmpty() ? Str(kStrUnknown) : number);
  name_->setText(name);
  name_->setVisible(!name.isEmpty());
  adjustSize();
  if (isVisible()) return;
  const QPoint end = FinalPosition();
  QScreen* screen = QGuiApplication::primaryScreen();
  const int below = screen != nullptr ? screen->geometry().bottom() : end.y() + height();
  move(end.x(), below);
  show();
  raise();
  slide_ = new QPropertyAnimation(this, "pos", this);
  slide_->setDuration(kSlideMs);
  slide_->setStartValue(QPoint(end.x(), below));
  slide_->setEndValue(end);
  slide_->setEasingCurve(QEasingCurve::OutCubic);
  slide_->start(QAbstractAnimation::DeleteWhenStopped);
  ring_->Start();
}

void CPopDlg::Hide() {
  ring_->Stop();
  if (slide_) slide_->stop();
  hide();
}

void CPopDlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (onShown) onShown();
}

void CPopDlg::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CPopDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    ignore_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace evdo
