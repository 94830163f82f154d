#pragma once
// The pages of the main window: their order in the tab container, and what
// the main window asks of the pages it talks to. A page's module plugs in by
// registering the factory of its kind before the main window is built; a
// kind without a factory has no page yet.
#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>

#include "core/settings/SetupData.h"

namespace evdo {

class CBasePage;
class CModaraDlg;

enum class PageKind { Messages, Calls, Phonebook, Internet, Statistics, Settings };

struct PageSpec {
  PageKind kind;
  const char* className;
  int templateId;      // 0 where the page has none of its own
  bool needsCallPage;  // created only when Main_nCall is non-zero
};

// The creation order.
inline constexpr PageSpec kPageOrder[] = {
    {PageKind::Messages, "CSmsDlg", 0, false},
    {PageKind::Calls, "CCallDlg", 0, true},
    {PageKind::Phonebook, "CPhoneBookDlg", 0, false},
    {PageKind::Internet, "CInternetDlg", 147, false},
    {PageKind::Statistics, "CStatisticsDlg", 4027, false},
    {PageKind::Settings, "CSetupDlg", 144, false},
};

// The page's name on the command line ("--page"): messages, calls,
// phonebook, internet, statistics, settings.
const char* PageName(PageKind kind);
// The kind of a page name; false for a name no page has.
bool PageFromName(std::string_view name, PageKind& kind);

// Makes a page inside the main window; its tab shows title.
using PageFactory = std::function<CBasePage*(CModaraDlg& mainWindow, QString& title)>;

class MainWindowPages {
public:
  static void Register(PageKind kind, PageFactory factory);
  static void Unregister(PageKind kind);
  static const PageFactory* Factory(PageKind kind);
  // Whether the page of spec is made with these settings.
  static bool IsCreated(const PageSpec& spec, const CSetupData& setup) {
    return !spec.needsCallPage || setup.Main_nCall != 0;
  }
};

// The Internet page's connection as the command line's status report
// shows it: the page state (InternetConnection.h, 6 idle) and the figures
// of the connection that is up.
struct ConnectionFigures {
  int state = 6;
  std::int64_t durationMs = 0;
  std::uint64_t bytesSent = 0;
  std::uint64_t bytesReceived = 0;
};

// What the main window asks of its Internet page (a page implements it).
class InternetPageLink {
public:
  virtual ~InternetPageLink() = default;
  // True while the dial-up connection is up: closing is refused then.
  virtual bool IsConnectionUp() const = 0;
  // The start action, 500 ms after the main window's initialisation.
  virtual void StartAction() = 0;
  // The main window is being destroyed: arm the 300 ms shut-down timer.
  virtual void ArmShutdownTimer() = 0;
  // The tray menu's operator information command.
  virtual void ShowOperatorInformation() = 0;
  // The connection's state and figures now.
  virtual ConnectionFigures Figures() const { return {}; }
};

// What the main window asks of its statistics page.
class StatisticsPageLink {
public:
  virtual ~StatisticsPageLink() = default;
  virtual void InitialiseDisplay() = 0;
};

}  // namespace evdo
