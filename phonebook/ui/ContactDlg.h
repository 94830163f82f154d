#pragma once
// CContactDlg: the contact editor, with the contact's picture. It checks
// the editor's rules on OK; a new contact is handed to the main window
// (WM_USER+18, sent), which passes it to the phonebook page; an edited one
// is taken by the page from Result() after OK.
#include <QString>

#include <array>
#include <string>

#include "phonebook/ContactRecord.h"
#include "ui/skin/CBaseDlg.h"

class QLabel;
class QLineEdit;

namespace evdo {

class CContactDlg : public CBaseDlg {
  Q_OBJECT

public:
  enum Mode { kNewContact = 0, kEditContact = 1, kFromNumber = 2 };

  // owner receives the new contact (WM_USER+18); may be null for edits.
  CContactDlg(Mode mode, const ContactRecord& initial, WindowHandler* owner, QWidget* parent = nullptr);

  const ContactRecord& Result() const { return result_; }
  QLineEdit* Edit(ContactField field) const { return edits_[static_cast<std::size_t>(field)]; }
  // The picture shown now ("" for the default picture) and whether the
  // default could not be shown either.
  const std::string& PicturePath() const { return picture_; }
  void ChoosePicture(const std::string& path);
  void RemovePicture();
  void OnOk();

private:
  void ShowPicture(bool reportFailure);
  void OnEdited(ContactField field, const QString& text);

  Mode mode_;
  ContactRecord initial_;
  WindowHandler* owner_;
  std::array<QLineEdit*, kContactColumnCount> edits_{};
  std::array<QString, kContactColumnCount> previous_{};
  QLabel* picture_label_;
  std::string picture_;      // the picture the contact will have
  bool pictureChosen_ = false;
  ContactRecord result_{};
};

}  // namespace evdo
