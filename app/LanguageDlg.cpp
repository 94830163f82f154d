#include "app/LanguageDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/text/QtText.h"

namespace evdo {

CLanguage::CLanguage(CLanguageModules& modules, QWidget* parent)
    : CBaseDlg(parent), languages_(modules), list_(new QListWidget(this)) {
  setObjectName("CLanguage");
  setWindowTitle(Str(kStrAppTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  for (const std::string& line : languages_.Lines()) list_->addItem(FromAnsi(line));
  const auto& accepted = modules.AcceptedModules();
  for (std::size_t i = 0; i < accepted.size(); ++i)
    if (accepted[i] == modules.ActiveModule()) list_->setCurrentRow(static_cast<int>(i));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrButtonOk), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Str(kStrButtonCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CLanguage::accept() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  languages_.Choose(list_->currentRow());
  QApplication::restoreOverrideCursor();
  CBaseDlg::accept();
}

}  // namespace evdo
