#pragma once
// The windows of the connection profiles and of the page's own settings:
// the new profile window, the profile manager, connect at start, the order
// of the automatic connection and the WLAN settings.
#include <QWidget>

#include <cstdint>
#include <string>

#include "internet/ConnProfile.h"
#include "internet/ConnProfileRules.h"
#include "internet/ConnSetData.h"
#include "ui/skin/CBaseDlg.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace evdo {

// The edit fields of a profile: number, user name, password, access point
// name, default mark and the authentication to require (with the name only
// where a window edits it).
class ProfileFieldsWidget : public QWidget {
  Q_OBJECT

public:
  ProfileFieldsWidget(bool withName, QWidget* parent = nullptr);
  ProfileFields Fields() const;
  void Show(const ProfileFields& fields);
  void Clear();

  QLineEdit* name = nullptr;
  QLineEdit* phone;
  QLineEdit* user;
  QLineEdit* password;
  QLineEdit* apn;
  QCheckBox* isDefault;
  QButtonGroup* auth;
};

// Shows a language string in a box and waits (the windows are modal).
void ShowRefusal(QWidget* parent, int stringId);

// CDlgInternetNewConn (template 220).
class CDlgInternetNewConn : public CBaseDlg {
  Q_OBJECT

public:
  CDlgInternetNewConn(const CConnProfile& store, const CSetupData& setup, QWidget* parent = nullptr);
  ProfileFields Fields() const { return fields_->Fields(); }
  ProfileFieldsWidget& FieldsWidget() { return *fields_; }

public Q_SLOTS:
  void accept() override;

private:
  const CConnProfile& store_;
  ProfileFieldsWidget* fields_;
};

// CDlgInternetSetConn (template 4057): the profile manager.
class CDlgInternetSetConn : public CBaseDlg {
  Q_OBJECT

public:
  CDlgInternetSetConn(CConnProfile& store, const CSetupData& setup, int selected, QWidget* parent = nullptr);
  int Selected() const;
  QListWidget& List() { return *list_; }
  ProfileFieldsWidget& FieldsWidget() { return *fields_; }
  void New();
  void Delete();

public Q_SLOTS:
  void accept() override;

private:
  void Fill(int select);
  void ShowSelected();

  CConnProfile& store_;
  const CSetupData& setup_;
  QListWidget* list_;
  ProfileFieldsWidget* fields_;
  QPushButton* delete_;
};

// CStartSettingDlg (template 7066): connect at start.
class CStartSettingDlg : public CBaseDlg {
  Q_OBJECT

public:
  CStartSettingDlg(std::int32_t connectAtStart, QWidget* parent = nullptr);
  std::int32_t ConnectAtStart() const;

private:
  QCheckBox* check_;
};

// CAutolinkCol: the three connection types of the automatic connection.
class CAutolinkCol : public CBaseDlg {
  Q_OBJECT

public:
  CAutolinkCol(const std::int32_t order[3], QWidget* parent = nullptr);
  void Order(std::int32_t out[3]) const;

private:
  QComboBox* types_[3];
};

// CWlanSettingDlg: the two WLAN texts, their keep flag and the province.
class CWlanSettingDlg : public CBaseDlg {
  Q_OBJECT

public:
  CWlanSettingDlg(const ConnSetData& data, QWidget* parent = nullptr);
  // Stores the window's values into data (texts bounded to their fields).
  void Apply(ConnSetData& data) const;
  int ProvinceIndex() const;

private:
  QLineEdit* text1_;
  QLineEdit* text2_;
  QCheckBox* keep_;
  QComboBox* province_;
};

}  // namespace evdo
