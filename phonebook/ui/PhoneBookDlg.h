#pragma once
// CPhoneBookDlg: the phonebook page of the main window. The PC contacts in
// a list of six equal columns (a header click sorts: ascending, then
// descending, then ascending again), a quick search over names and numbers,
// and the commands: new, edit, delete, delete all, search, import, export,
// the modem's phonebooks, send a message, call.
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

#include "phonebook/PbData.h"
#include "phonebook/SortToggle.h"
#include "phonebook/ui/PhonebookServices.h"
#include "ui/skin/CBasePage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace evdo {

class CSearchContactDlg;

class CPhoneBookDlg : public CBasePage {
  Q_OBJECT

public:
  CPhoneBookDlg(PhonebookServices services, CPbData& store, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  QLineEdit* QuickSearchEdit() const { return quick_; }
  QPushButton* Button(const char* name) const;
  // Rebuilds the list from the store (the quick search applied).
  void Rebuild();
  // List positions of the selected rows, in list order.
  std::vector<int> SelectedPositions() const;

  // The commands.
  void NewContact();
  void EditContact();
  void DeleteContacts();
  void DeleteAll();
  void OpenSearch();
  void Import();
  void Export();
  void OpenTransfer();
  void SendMessage();
  void Call();
  // A new contact from a number of another window: the number is checked,
  // the position dialog asks for its field, and the editor opens with it,
  // over that window (over; null: this page).
  void NewContactFromNumber(const std::string& number, QWidget* over = nullptr);
  void SortBy(int column);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;

private:
  void UpdateButtons();
  void ApplyQuickSearch();
  void ShowMessages(const std::vector<int>& messages, const std::string& detail = {});

  PhonebookServices services_;
  CPbData& store_;
  QTreeWidget* list_;
  QLineEdit* quick_;
  QLabel* count_;
  std::vector<QPushButton*> buttons_;
  SortToggle sort_;
  QPointer<CSearchContactDlg> search_;
};

}  // namespace evdo
