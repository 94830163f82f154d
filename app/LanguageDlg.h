#pragma once
// The language dialog (CLanguage): the installed modules of this edition by
// language name; OK makes the selected one the source of the texts of
// windows opened afterwards.
#include "ui/LanguageList.h"
#include "ui/skin/CBaseDlg.h"

class QListWidget;

namespace evdo {

class CLanguage : public CBaseDlg {
  Q_OBJECT

public:
  explicit CLanguage(CLanguageModules& modules, QWidget* parent = nullptr);

  QListWidget& List() { return *list_; }

public Q_SLOTS:
  void accept() override;

private:
  CLanguageList languages_;
  QListWidget* list_;
};

}  // namespace evdo
