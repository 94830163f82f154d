#include "phonebook/ui/SelDialDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/text/QtText.h"

namespace evdo {

CSelDialDlg::CSelDialDlg(const QString& name, const std::vector<std::string>& numbers,
                         const std::vector<QString>& labels, QWidget* parent)
    : CBaseDlg(parent), list_(new QListWidget(this)), numbers_(numbers) {
  setObjectName("CSelDialDlg");
  setWindowTitle(Str(kStrPbSelectNumberTitle));
  auto* layout = new QVBoxLayout(this);
  auto* who = new QLabel(name, this);
  who->setTextFormat(Qt::PlainText);
  layout->addWidget(who);
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const QString label = i < labels.size() ? labels[i] + ": " : QString();
    list_->addItem(label + FromAnsi(numbers[i]));
  }
  list_->setCurrentRow(0);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrOk), QDialogButtonBox::AcceptRole);
  buttons->addButton(Str(kStrCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    const int row = list_->currentRow();
    if (row < 0) return;
    chosen_ = numbers_[static_cast<std::size_t>(row)];
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, buttons, [buttons] { Q_EMIT buttons->accepted(); });
  layout->addWidget(buttons);
  resize(320, 200);
}

std::string CSelDialDlg::ChooseNumber(QWidget* parent, const QString& name, const std::vector<std::string>& numbers,
                                      const std::vector<QString>& labels, bool* cancelled) {
  if (cancelled) *cancelled = false;
  if (numbers.empty()) return {};
  if (numbers.size() == 1) return numbers.front();
  CSelDialDlg dialog(name, numbers, labels, parent);
  if (dialog.exec() != QDialog::Accepted) {
    if (cancelled) *cancelled = true;
    return {};
  }
  return dialog.Chosen();
}

}  // namespace evdo
