#pragma once
// The settings page of the main window (CSetupDlg, template 144): one tab
// per settings page, in the order below. A page's module plugs in by
// registering the factory of its kind; a kind without a factory has no tab
// (the usage limit page comes with the traffic statistics, the message
// settings with messaging, the WLAN settings with the wireless LAN).
#include <functional>

#include "security/ui/SecurityContext.h"
#include "ui/StringIds.h"
#include "ui/skin/CBasePage.h"

class QButtonGroup;
class QTabWidget;

namespace evdo {

class CModaraDlg;

enum class SetupPageKind { Traffic, UsageLimit, General, Security, Network, Messages, Wlan, Skin };

struct SetupPageSpec {
  SetupPageKind kind;
  const char* className;
  StringId title;
};

// The tab order.
inline constexpr SetupPageSpec kSetupPageOrder[] = {
    {SetupPageKind::Traffic, "CDlgSetupSurf", kStrTabTraffic},
    {SetupPageKind::UsageLimit, "CDlgSetupUsageLimit", kStrTabUsageLimit},
    {SetupPageKind::General, "CDlgSetupGeneral", kStrTabGeneral},
    {SetupPageKind::Security, "CDlgSetupSecurity", kStrTabSecurity},
    {SetupPageKind::Network, "CDlgSetupNWSel", kStrTabNetwork},
    {SetupPageKind::Messages, "CDlgSetupMessages", kStrTabMessageSettings},
    {SetupPageKind::Wlan, "CDlgSetupWlan", kStrTabWlan},
    {SetupPageKind::Skin, "CDlgSetupSkin", kStrTabSkin},
};

using SetupPageFactory = std::function<QWidget*(CModaraDlg& mainWindow, QWidget* parent)>;

class SetupPages {
public:
  static void Register(SetupPageKind kind, SetupPageFactory factory);
  static void Unregister(SetupPageKind kind);
  static const SetupPageFactory* Factory(SetupPageKind kind);
};

class CSetupDlg : public CBasePage {
  Q_OBJECT

public:
  explicit CSetupDlg(CModaraDlg& mainWindow, QWidget* parent = nullptr);
  QTabWidget* Tabs() const { return tabs_; }
  // The page of kind, or null when it has no tab.
  QWidget* Page(SetupPageKind kind) const;

private:
  QTabWidget* tabs_;
};

// The skin page (CDlgSetupSkin): the skins by name; applying one sends the
// skin change (WM_USER+15 with the index) to the main window and saves
// Setup_nSkinStyle.
class CDlgSetupSkin : public CBasePage {
  Q_OBJECT

public:
  CDlgSetupSkin(WindowPort& mainWindow, QWidget* parent = nullptr);
  QButtonGroup* Choices() const { return choices_; }
  void Apply();

protected:
  void showEvent(QShowEvent* event) override;

private:
  WindowPort& mainWindow_;
  QButtonGroup* choices_;
};

// The traffic settings page (CDlgSetupSurf, template 4004): the unit in
// which traffic volumes are shown; the chosen option's index is kept in
// "SettingData.dat", read when the page opens and written when it is applied.
class CDlgSetupSurf : public CBasePage {
  Q_OBJECT

public:
  static constexpr int kOptionCount = 3;
  explicit CDlgSetupSurf(QWidget* parent = nullptr);
  QButtonGroup* Choices() const { return choices_; }
  void Apply();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QButtonGroup* choices_;
};

// What the card, radio and network windows need, from the main window.
SecurityContext SecurityContextOf(CModaraDlg& mainWindow);

// Registers the settings page with the main window and the settings pages
// this program has with the settings page. Called once before the main
// window is built.
void RegisterSetupPages();

}  // namespace evdo
