#pragma once
// The settings pages of the card and the modem: the PIN buttons (shared by
// the security and the general page), the security page
// (CDlgSetupSecurity), the general page (CDlgSetupGeneral: radio on and off
// and the PIN buttons) and the network page (CDlgSetupNWSel: operator
// search with its progress window, registration, system preference).
#include <QFrame>

#include <array>
#include <map>
#include <memory>

#include "security/CardCommands.h"
#include "security/NetworkSelection.h"
#include "security/RadioSwitch.h"
#include "security/ReplyExchange.h"
#include "security/SecurityButtons.h"
#include "security/ui/SecurityContext.h"
#include "ui/skin/CBasePage.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace evdo {

// The four PIN buttons (controls 1062, 1063, 1164, 1165) with their
// procedure.
class CPinButtons : public CBasePage {
  Q_OBJECT

public:
  CPinButtons(const SecurityContext& context, QWidget* parent = nullptr);

  QPushButton* Button(SecurityButton button) const { return buttons_[static_cast<int>(button)]; }
  // The general page switches them off while the radio is off or a radio
  // command runs.
  void SetAllowed(bool allowed);
  bool IsRunning() const { return procedure_.IsRunning(); }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override { exchange_.OnTimer(timerId); }

private:
  void Enable(bool enabled);
  void OpenLock(int mode, std::function<void()> closed);
  void OpenModify(int mode, std::function<void()> closed);

  SecurityContext context_;
  CReplyExchange exchange_;
  CCardCommands card_;
  CSecurityButtons procedure_;
  std::array<QPushButton*, 4> buttons_{};
  bool allowed_ = true;
  bool enabled_ = true;
};

class CDlgSetupSecurity : public CBasePage {
  Q_OBJECT

public:
  CDlgSetupSecurity(const SecurityContext& context, QWidget* parent = nullptr);
  CPinButtons* Buttons() const { return buttons_; }

private:
  CPinButtons* buttons_;
};

class CDlgSetupGeneral : public CBasePage {
  Q_OBJECT

public:
  CDlgSetupGeneral(const SecurityContext& context, QWidget* parent = nullptr);
  CPinButtons* Buttons() const { return buttons_; }
  QPushButton* RadioOn() const { return on_; }
  QPushButton* RadioOff() const { return off_; }
  const CRadioSwitch& Radio() const { return radio_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override { radio_.OnMessage(message, wParam, lParam); }
  void OnTimer(TimerId timerId) override { radio_.OnTimer(timerId); }

protected:
  void showEvent(QShowEvent* event) override;

private:
  RadioView View();
  QPushButton* on_;
  QPushButton* off_;
  QLabel* state_;
  CPinButtons* buttons_;
  CRadioSwitch radio_;
};

// The network page's progress window: a text whose last six characters
// appear one by one while a search or a registration runs.
class CDlgMsg : public QFrame {
  Q_OBJECT

public:
  explicit CDlgMsg(QWidget* parent = nullptr);
  void Show(StringId text, int counter);
  QString Text() const;

private:
  QLabel* text_;
};

class CDlgSetupNWSel : public CBasePage {
  Q_OBJECT

public:
  static constexpr int kPreferenceCount = 4;
  static constexpr int kInitialPreference = 3;

  CDlgSetupNWSel(const SecurityContext& context, QWidget* parent = nullptr);
  QTreeWidget* List() const { return list_; }
  CDlgMsg* Progress() const { return progress_; }
  QWidget* Control(int id) const;
  const CNetworkSelection& Selection() const { return selection_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override {
    selection_.OnMessage(message, wParam, lParam);
  }
  void OnTimer(TimerId timerId) override { selection_.OnTimer(timerId); }

protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  NetworkPageView View();
  void Fill(const OperatorList& list);

  SecurityContext context_;
  QRadioButton* automatic_;
  QRadioButton* manual_;
  QTreeWidget* list_;
  QPushButton* search_;
  QPushButton* register_;
  std::array<QRadioButton*, kPreferenceCount> preferences_{};
  QPushButton* apply_;
  CDlgMsg* progress_;
  std::map<int, QWidget*> controls_;
  CNetworkSelection selection_;
};

}  // namespace evdo
