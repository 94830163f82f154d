#pragma once
// The Internet page (template 147): the connection profiles, the connect,
// disconnect, automatic and cancel buttons of the three connection types,
// the dial's status, the connection's duration, volume and rates, the
// wireless LAN's state and the page's settings windows. The connection
// logic is CInternetConnection; this window shows what it says.
#include <QPointer>
#include <QTimer>

#include <memory>
#include <string>

#include "app/MainWindowPages.h"
#include "internet/ConnSetData.h"
#include "internet/InternetConnection.h"
#include "internet/PageWlan.h"
#include "ui/skin/CBasePage.h"

class QComboBox;
class QLabel;
class QLocalSocket;
class QPushButton;

namespace evdo {

class CConnProfile;
class CLogData;
class CModaraDlg;
class CMonthLog;
class CMonthLogData;
class CNetLog;
class DesktopNotifier;
class ProfileFieldsWidget;
class PppdDialer;
class NetworkManagerBackend;
class StatisticsHandOff;
class RemoteReply;

class CInternetDlg : public CBasePage, public InternetPageLink, public InternetView {
  Q_OBJECT

public:
  // mainWindow may be null (a page on its own, in tests).
  CInternetDlg(CModaraDlg* mainWindow, CConnProfile& profiles, DialService& dial, WlanBackend& wlan,
               ConnectionRecords& records, QWidget* parent = nullptr);
  ~CInternetDlg() override;

  // Makes the page of the running program (registered in the main window).
  static void Register();

  CInternetConnection& Logic() { return logic_; }
  QPushButton* Button(int command) const;

  // InternetPageLink.
  bool IsConnectionUp() const override;
  void StartAction() override;
  void ArmShutdownTimer() override;
  void ShowOperatorInformation() override;
  ConnectionFigures Figures() const override;

  // CBasePage.
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

  // InternetView.
  void ShowAppearance(Appearance appearance, int connectedType) override;
  void SetStatusText(const std::string& text) override;
  void SetStatistics(const std::string& duration, const std::string& sentKB, const std::string& receivedKB,
                     const std::string& sentBytes, const std::string& receivedBytes) override;
  void SetNominalRate(const std::string& rate) override;
  void SetRates(std::uint32_t sendKBps, std::uint32_t receiveKBps) override;
  void ShowMessage(const std::string& text) override;
  void ShowLimitWarning(int stringId) override;
  void PostIndicator(int indicator, std::int64_t value) override;
  void StateChanged(int state) override;
  bool SelectedProfile(ConnProfileRecord& profile) override;
  void CheckEditedFields(const ConnProfileRecord& profile) override;
  std::string DataPort() override;
  int SimState() override;
  std::string Text(int stringId) override;

  // The connection log and month totals the page's lists show (either may
  // be null: its list button is disabled).
  void SetTrafficLogs(CLogData* log, CMonthLogData* months);
  // The desktop notifier of usage-limit warnings (may be null).
  void SetNotifier(std::shared_ptr<DesktopNotifier> notifier) { notifier_ = std::move(notifier); }
  // The connection list and the monthly list, not yet shown (null without
  // their store).
  CNetLog* OpenNetLog();
  CMonthLog* OpenMonthLog();
  QPushButton* NetLogButton() const { return netLogButton_; }
  QPushButton* MonthLogButton() const { return monthLogButton_; }

  // A request of the command line ("connect 3g|1x|wlan|auto", "disconnect"):
  // acts like the page's buttons; messages go to reply instead of boxes.
  void HandleRemote(const QString& command, RemoteReply* reply);

  // The page's profile commands.
  void NewProfile();
  void EditProfiles();
  void DeleteProfile();
  void SaveProfile();
  void OpenStartSettings();
  void OpenAutoOrder();
  void OpenWlanSettings();
  void OpenCloseSettings();
  ProfileFieldsWidget& Fields() { return *fields_; }
  QComboBox& ProfileList() { return *profileList_; }
  const ConnSetData& Settings() const { return settings_; }
  // The data port from "EVDO.ini" ([Internet] szDataPort).
  static std::string ConfiguredDataPort();
  // Timer 58: the wireless LAN's state and whether dialling can work here.
  void RefreshWlanIndicator();

private:
  void BuildLayout();
  void FillProfiles(int select);
  void ShowSelectedProfile();
  void LoadSettings();
  bool SaveSettings();
  void CheckRemote();
  void FinishRemote(int code);

  CModaraDlg* main_;
  CConnProfile& profiles_;
  DialService& dial_;
  CPageWlan wlan_;
  ConnectionRecords& records_;
  std::unique_ptr<PreferenceSender> preference_;
  CInternetConnection logic_;
  ConnSetDataFile settingsFile_;
  ConnSetData settings_;

  QComboBox* profileList_ = nullptr;
  ProfileFieldsWidget* fields_ = nullptr;
  QWidget* profileControls_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* duration_ = nullptr;
  QLabel* sent_ = nullptr;
  QLabel* received_ = nullptr;
  QLabel* rate_ = nullptr;
  QLabel* speed_ = nullptr;
  QLabel* activity_ = nullptr;
  QLabel* wlanState_ = nullptr;
  QLabel* dialNote_ = nullptr;
  std::map<int, QPushButton*> buttons_;
  QPushButton* netLogButton_ = nullptr;
  QPushButton* monthLogButton_ = nullptr;
  CLogData* log_ = nullptr;
  CMonthLogData* months_ = nullptr;
  std::shared_ptr<DesktopNotifier> notifier_;
  std::string dataPort_;
  int animation_ = 0;

  // The command line request in progress.
  QPointer<RemoteReply> remote_;
  QString remoteCommand_;
  int remoteTarget_ = -1;
  bool remoteSawConnecting_ = false;
  QTimer remoteCheck_;
};

}  // namespace evdo
