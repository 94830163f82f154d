#include "tests/app/DashboardHarness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <filesystem>

#include "tests/app/QtApp.h"

namespace evdo::test {

namespace fs = std::filesystem;

DashboardHarness::DashboardHarness(bool withLanguages) {
  QtApp();
  if (withLanguages)
    fs::create_directory_symlink(EVDO_TEST_LANG_DIR, folder_.File("lang"));
  else
    fs::create_directory(folder_.File("lang"));
  fs::create_directory_symlink(EVDO_TEST_SKIN_DIR, folder_.File("skin"));
  // The single-instance socket lives in the runtime folder: one per test.
  fs::create_directory(folder_.File("run"));
  fs::permissions(folder_.File("run"), fs::perms::owner_all);
  runtimeDir_ = QString::fromStdString(folder_.File("run"));
  qputenv("XDG_RUNTIME_DIR", runtimeDir_.toUtf8());

  std::string error;
  if (modem_.Open(error) && modem_.Start()) options_.portPath = QString::fromStdString(modem_.SerialPath());
  modalPoll_.setInterval(20);
  QObject::connect(&modalPoll_, &QTimer::timeout, [this] { AnswerModals(); });
  scriptPoll_.setInterval(20);
  QObject::connect(&scriptPoll_, &QTimer::timeout, [this] { StartScript(); });
}

DashboardHarness::~DashboardHarness() {
  modalPoll_.stop();
  scriptPoll_.stop();
  modem_.Stop();
}

bool DashboardHarness::Control(const std::string& line) { return modem_.Control(line) == "OK\n"; }

void DashboardHarness::OnModal(const QString& objectName, std::function<void(QWidget&)> handler) {
  modalHandlers_[objectName] = std::move(handler);
}

void Accept(QWidget& modal) {
  if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
    QAbstractButton* button = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton())
                                                   : box->buttons().value(0);
    if (button != nullptr) return button->click();
  }
  if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->accept();
}

void DashboardHarness::AnswerModals() {
  if (watch_ && app_ != nullptr) watch_(*app_);
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != lastModal_) {
    lastModal_ = modal;
    modalsSeen_.push_back(modal->objectName());
    if (auto* box = qobject_cast<QMessageBox*>(modal)) messagesSeen_.push_back(box->text());
    auto it = modalHandlers_.find(modal->objectName());
    if (it != modalHandlers_.end()) {
      QPointer<QWidget> target = modal;
      auto handler = it->second;
      // Answered from the event loop, not from inside this poll.
      QTimer::singleShot(0, [target, handler] {
        if (target) handler(*target);
      });
    }
  }
  if (modal == nullptr) lastModal_ = nullptr;
}

void DashboardHarness::StartScript() {
  if (!scriptRan_ && !scriptRunning_ && script_ && app_ != nullptr && app_->MainWindow() != nullptr &&
      app_->Timing().readyMs >= 0) {
    scriptRunning_ = true;
    script_(*app_, *app_->MainWindow());
    scriptRunning_ = false;
    scriptRan_ = true;
  }
}

int DashboardHarness::Run(std::function<void(CModaraApp&, CModaraDlg&)> script) {
  script_ = std::move(script);
  CModaraApp app(options_);
  app_ = &app;
  modalPoll_.start();
  scriptPoll_.start();
  int code = app.Run();
  modalPoll_.stop();
  scriptPoll_.stop();
  app_ = nullptr;
  return code;
}

}  // namespace evdo::test
