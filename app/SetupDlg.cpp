#include "app/SetupDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <map>

#include "app/MainWindowPages.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "ui/text/QtText.h"
#include "core/settings/SettingData.h"
#include "core/settings/SetupData.h"
#include "security/ui/SetupPages.h"
#include "sms/SmsChannel.h"
#include "sms/ui/SmsSettingsPage.h"

namespace evdo {

namespace {

std::map<SetupPageKind, SetupPageFactory>& Factories() {
  static std::map<SetupPageKind, SetupPageFactory> factories;
  return factories;
}

constexpr StringId kSkinNames[] = {kStrSkinLight, kStrSkinDark};
constexpr StringId kTrafficOptions[CDlgSetupSurf::kOptionCount] = {
    kStrTrafficUnitKb, kStrTrafficUnitMb, kStrTrafficUnitAuto};

// The message exchanges' turn on the command slot, shared by every window
// that talks to the modem about messages.
QPushButton* ApplyButton(QWidget* parent) {
  auto* button = new QPushButton(Str(kStrButtonApply), parent);
  button->setObjectName("apply");
  return button;
}

}  // namespace

void SetupPages::Register(SetupPageKind kind, SetupPageFactory factory) {
  Factories()[kind] = std::move(factory);
}

void SetupPages::Unregister(SetupPageKind kind) { Factories().erase(kind); }

const SetupPageFactory* SetupPages::Factory(SetupPageKind kind) {
  auto it = Factories().find(kind);
  return it == Factories().end() || !it->second ? nullptr : &it->second;
}

CSetupDlg::CSetupDlg(CModaraDlg& mainWindow, QWidget* parent)
    : CBasePage(parent), tabs_(new QTabWidget(this)) {
  tabs_->setObjectName("setupTabs");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tabs_);
  for (const SetupPageSpec& spec : kSetupPageOrder) {
    const SetupPageFactory* factory = SetupPages::Factory(spec.kind);
    if (factory == nullptr) continue;
    QWidget* page = (*factory)(mainWindow, tabs_);
    if (page == nullptr) continue;
    page->setObjectName(spec.className);
    tabs_->addTab(page, Str(spec.title));
  }
}

QWidget* CSetupDlg::Page(SetupPageKind kind) const {
  for (const SetupPageSpec& spec : kSetupPageOrder) {
    if (spec.kind != kind) continue;
    for (int i = 0; i < tabs_->count(); ++i) {
      if (tabs_->widget(i)->objectName() == spec.className) return tabs_->widget(i);
    }
  }
  return nullptr;
}

// A settings page of one group of choices (buttons named prefix0, prefix1,
// ...) and its Apply button, which is returned.
template <class Ids>
QPushButton* ChoicePage(QWidget* page, int title, const Ids& names, std::size_t count, const char* prefix,
                        QButtonGroup* choices) {
  auto* layout = new QVBoxLayout(page);
  auto* group = new QGroupBox(Str(title), page);
  auto* inner = new QVBoxLayout(group);
  for (int i = 0; i < static_cast<int>(count); ++i) {
    auto* choice = new QRadioButton(Str(names[i]), group);
    choice->setObjectName(QString("%1%2").arg(prefix).arg(i));
    choices->addButton(choice, i);
    inner->addWidget(choice);
  }
  layout->addWidget(group);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  QPushButton* apply = ApplyButton(page);
  row->addWidget(apply);
  layout->addLayout(row);
  layout->addStretch(1);
  return apply;
}

CDlgSetupSkin::CDlgSetupSkin(WindowPort& mainWindow, QWidget* parent)
    : CBasePage(parent), mainWindow_(mainWindow), choices_(new QButtonGroup(this)) {
  QPushButton* apply = ChoicePage(this, kStrGroupSkin, kSkinNames, std::size(kSkinNames), "skin", choices_);
  connect(apply, &QPushButton::clicked, this, &CDlgSetupSkin::Apply);
}

void CDlgSetupSkin::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  int style = CSetupData::Instance().Setup_nSkinStyle;
  // A style beyond the skins there are shows the first.
  if (style < 0 || style >= static_cast<int>(std::size(kSkinNames))) style = 0;
  choices_->button(style)->setChecked(true);
}

void CDlgSetupSkin::Apply() {
  int index = choices_->checkedId();
  if (index < 0) return;
  mainWindow_.PostMessage(kMsgSkinChange, 0, index);
  CSetupData::Instance().Setup_nSkinStyle = index;
  if (!SaveSettings()) ShowSecurityMessage(this, kStrFileNotWritable);
}

CDlgSetupSurf::CDlgSetupSurf(QWidget* parent) : CBasePage(parent), choices_(new QButtonGroup(this)) {
  QPushButton* apply = ChoicePage(this, kStrGroupTrafficUnit, kTrafficOptions, kOptionCount, "option", choices_);
  connect(apply, &QPushButton::clicked, this, &CDlgSetupSurf::Apply);
}

void CDlgSetupSurf::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  std::string error;
  std::int32_t option = SettingData::Load(kSettingDataFile, &error);
  if (!error.empty()) {
    auto* box = new QMessageBox(QMessageBox::Warning, SecurityCaption(), QString::fromStdString(error),
                                QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
  if (option < 0 || option >= kOptionCount) option = 0;
  choices_->button(option)->setChecked(true);
}

void CDlgSetupSurf::Apply() {
  int option = choices_->checkedId();
  if (option < 0) return;
  ShowSecurityMessage(this, SettingData::Save(option) ? kStrSettingsSaved : kStrFileNotWritable);
}

SecurityContext SecurityContextOf(CModaraDlg& mainWindow) {
  SecurityContext context;
  context.exchange = &CModaraApp::Instance()->Exchange();
  context.pin = &mainWindow.Status().Pin();
  context.mainWindow = &mainWindow.Port();
  CModaraDlg* window = &mainWindow;
  context.isConnected = [window] {
    auto* internet = dynamic_cast<InternetPageLink*>(window->Page(PageKind::Internet));
    return internet != nullptr && internet->IsConnectionUp();
  };
  return context;
}

void RegisterSetupPages() {
  MainWindowPages::Register(PageKind::Settings, [](CModaraDlg& mainWindow, QString& title) -> CBasePage* {
    title = Str(kStrTabSettings);
    return new CSetupDlg(mainWindow);
  });
  SetupPages::Register(SetupPageKind::Traffic,
                       [](CModaraDlg&, QWidget* parent) { return new CDlgSetupSurf(parent); });
  SetupPages::Register(SetupPageKind::General, [](CModaraDlg& w, QWidget* parent) {
    return new CDlgSetupGeneral(SecurityContextOf(w), parent);
  });
  SetupPages::Register(SetupPageKind::Security, [](CModaraDlg& w, QWidget* parent) {
    return new CDlgSetupSecurity(SecurityContextOf(w), parent);
  });
  SetupPages::Register(SetupPageKind::Network, [](CModaraDlg& w, QWidget* parent) {
    return new CDlgSetupNWSel(SecurityContextOf(w), parent);
  });
  SetupPages::Register(SetupPageKind::Messages, [](CModaraDlg&, QWidget* parent) {
    sms::SettingsPageServices services{&CModaraApp::Instance()->Exchange(), &CModaraApp::Instance()->MessageLink()};
    return new sms::CDlgSetupMessages(services, parent);
  });
  SetupPages::Register(SetupPageKind::Skin,
                       [](CModaraDlg& w, QWidget* parent) { return new CDlgSetupSkin(w.Port(), parent); });
}

}  // namespace evdo
