#include "sms/ui/SmsExtractNumDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/StringIds.h"
#include "ui/text/QtText.h"

namespace evdo {

CSmsExtractNumDlg::CSmsExtractNumDlg(const std::vector<std::string>& numbers, QWidget* parent)
    : CBaseDlg(parent), numbers_(numbers), list_(new QListWidget(this)) {
  setObjectName("CSmsExtractNumDlg");
  setWindowTitle(Str(kStrSmsSaveNumber));
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(Str(kStrSmsChooseNumber), this);
  prompt->setWordWrap(true);
  layout->addWidget(prompt);
  list_->setObjectName("numbers");
  list_->setAccessibleName(Str(kStrSmsChooseNumber));
  for (const std::string& number : numbers_) list_->addItem(FromAnsi(number));
  if (list_->count() > 0) list_->setCurrentRow(0);
  prompt->setBuddy(list_);
  layout->addWidget(list_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Str(kStrButtonOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Str(kStrButtonCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOk(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemActivated, this, [this] { OnOk(); });
  layout->addWidget(buttons);
  resize(320, 280);
}

void CSmsExtractNumDlg::OnOk() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(numbers_.size())) return;
  chosen_ = numbers_[static_cast<std::size_t>(row)];
  accept();
}

std::string CSmsExtractNumDlg::Choose(const std::vector<std::string>& numbers, QWidget* parent) {
  CSmsExtractNumDlg dialog(numbers, parent);
  return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : std::string();
}

}  // namespace evdo
