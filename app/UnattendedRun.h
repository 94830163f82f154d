#pragma once
// A run that nobody watches ("--screenshot"): every box or dialog that would
// wait for a click ends the program instead, with the box's text on standard
// error and the exit status kExitNeedsPerson.
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace evdo {

class CUnattendedRun : public QObject {
  Q_OBJECT

public:
  // How the run ends; the default prints and ends the process at once.
  using Ending = std::function<void(const QString& report)>;

  explicit CUnattendedRun(Ending ending = {}, QObject* parent = nullptr);

  // Watches every window of the application; exempt (the main window) and
  // picture windows that are no dialogs never count.
  void Install();
  void Exempt(QWidget* window) { exempt_ = window; }

  // The text a box shows: its title, text and details, one per line; for
  // another dialog its title and the texts of its labels and buttons.
  static QString TextOf(QWidget& box);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  Ending ending_;
  QPointer<QWidget> exempt_;
  bool ended_ = false;
};

}  // namespace evdo
