#pragma once
// The incoming-call pop-up (template 260): slides in at the bottom right of
// the screen above other windows, shows the caller's number and name, rings,
// and offers Answer, Reject and Ignore (which silences it and lets the call
// ring on).
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QPropertyAnimation;

namespace evdo {

class CRingSound;

class CPopDlg : public QWidget {
  Q_OBJECT

public:
  static constexpr int kTemplateId = 260;
  static constexpr int kSlideMs = 250;

  explicit CPopDlg(QWidget* parent = nullptr);
  ~CPopDlg() override;

  // Shows (or updates) the pop-up for a caller; number empty while unknown,
  // name empty when no contact has the number.
  void ShowCall(const QString& number, const QString& name);
  // Takes the pop-up down and stops the ring.
  void Hide();
  // The texts of the language in use again.
  void Retranslate();

  QString NumberText() const;
  QString NameText() const;
  CRingSound& Ring() { return *ring_; }

  std::function<void()> onAnswer;
  std::function<void()> onReject;
  std::function<void()> onIgnore;
  // Called when the pop-up has just been shown (for measurements).
  std::function<void()> onShown;

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  QPoint FinalPosition() const;

  QLabel* title_;
  QLabel* number_;
  QLabel* name_;
  QPushButton* answer_;
  QPushButton* reject_;
  QPushButton* ignore_;
  QPointer<QPropertyAnimation> slide_;
  CRingSound* ring_;
};

}  // namespace evdo
