// The network page and the radio switch against the simulated modem.
#include <gtest/gtest.h>

#include <set>

#include "core/settings/SetupData.h"
#include "security/NetworkSelection.h"
#include "security/RadioSwitch.h"
#include "security/SecurityIds.h"
#include "tests/security/SecurityModemFixture.h"
#include "tests/support/TempDir.h"

// The scratch folder helper, wherever the test support keeps it.
namespace evdo::test {}
namespace evdo::test {}
namespace scratch {
using namespace evdo::test;
using namespace evdo::test;
}  // namespace scratch

namespace evdo {
namespace {

using test::SecurityModemFixture;

class NetworkModemTest : public SecurityModemFixture {
protected:
  void SetUp() override {
    SecurityModemFixture::SetUp();
    fan_.targets.push_back(&network_);
  }
  NetworkPageView View() {
    NetworkPageView v;
    v.enable = [this](const std::vector<int>& ids, bool on) {
      for (int id : ids) (on ? disabled_.erase(id) : disabled_.insert(id).second);
    };
    v.showProgress = [this](StringId text, int counter) { progress_.emplace_back(text, counter); };
    v.hideProgress = [this] { progressShown_ = false; };
    v.fillList = [this](const OperatorList& list) { list_ = list; };
    v.showMessage = [this](StringId id) { messages_.push_back(id); };
    return v;
  }
  bool Idle() { return network_.CommandMode() == kNetworkIdle && !network_.IsBusy() && loop_.PendingMessages() == 0; }

  std::set<int> disabled_;
  std::vector<std::pair<StringId, int>> progress_;
  bool progressShown_ = true;
  OperatorList list_;
  std::vector<StringId> messages_;
  CNetworkSelection network_{exchange_, window_, View()};
};

TEST_F(NetworkModemTest, SearchFillsTheListWithProgress) {
  Control("network searchms 1200");
  network_.Open(false);
  network_.SetMode(1);
  network_.Search();
  EXPECT_EQ(network_.CommandMode(), kNetworkSearch);
  EXPECT_TRUE(disabled_.count(kCtlSearch));
  EXPECT_TRUE(disabled_.count(kCtlModeManual));
  // The animation runs while the modem searches.
  ASSERT_TRUE(Until([&] { return list_.count > 0; }, 30000, 50));
  loop_.RunPending();
  ASSERT_GE(progress_.size(), 2u);
  EXPECT_EQ(progress_[0], std::make_pair(kStrSearchingNetworks, 0));
  EXPECT_EQ(progress_[1].second, 1);
  EXPECT_EQ(list_.count, 3u);
  EXPECT_STREQ(list_.entries[1].shortName, "OTHER");
  EXPECT_TRUE(disabled_.empty());
  EXPECT_FALSE(progressShown_);
  EXPECT_FALSE(loop_.IsTimerArmed(window_, kProgressTimer));
  EXPECT_EQ(network_.EntryCount(), 3u);
}

TEST_F(NetworkModemTest, ManualRegistrationSendsTheShortName) {
  network_.Open(false);
  network_.SetMode(1);
  network_.Register(0, "DEMO");  // no search yet: nothing happens
  EXPECT_EQ(network_.CommandMode(), kNetworkIdle);
  network_.Search();
  ASSERT_TRUE(Until([&] { return Idle() && list_.count > 0; }));
  network_.Register(-1, "");
  EXPECT_EQ(messages_, std::vector<StringId>{kStrSelectEntry});
  network_.Register(1, list_.entries[1].shortName);
  EXPECT_EQ(progress_.back().first, kStrRegistering);
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(Sent("AT+COPS=1,1,\"OTHER\""), 1);
  EXPECT_EQ(messages_.size(), 1u);
  network_.Register(2, "BARRED");  // forbidden
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(messages_.back(), kStrRegistrationFailed);
  EXPECT_TRUE(disabled_.empty());
}

TEST_F(NetworkModemTest, AutomaticModeEmptiesTheListAndRegistersAutomatically) {
  network_.Open(false);
  network_.SetMode(0);
  EXPECT_TRUE(disabled_.count(kCtlOperatorList));
  EXPECT_TRUE(disabled_.count(kCtlSearch));
  network_.Register(-1, "");
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(Sent("AT+COPS=0"), 1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(NetworkModemTest, OpenedWhileConnectedDisablesEverything) {
  network_.Open(true);
  EXPECT_EQ(messages_, std::vector<StringId>{kStrNetworkLockedWhileConnected});
  EXPECT_TRUE(disabled_.count(kCtlModeAutomatic));
  EXPECT_TRUE(disabled_.count(kCtlApplyPreference));
}

TEST_F(NetworkModemTest, SearchWithTheRadioOffFails) {
  Control("network radio off");
  network_.SetMode(1);
  network_.Search();
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(messages_, std::vector<StringId>{kStrNetworkSearchFailed});
  EXPECT_EQ(list_.count, 0u);
}

TEST_F(NetworkModemTest, InjectedOperatorNamesNeverReachACommand) {
  // A name with a control character is cleaned, one too long or broken is
  // skipped; what is left is safe to put between quotes.
  Control(R"(network operators (1,"Evil","EV\x01IL","1",0),(1,"Long","ABCDEFGHIJKLMNOPQRSTUVWXYZ","2",0),(1,"Quote","A"B","3",0))");
  network_.SetMode(1);
  network_.Search();
  ASSERT_TRUE(Until([&] { return Idle(); }));
  ASSERT_EQ(list_.count, 1u);
  EXPECT_STREQ(list_.entries[0].shortName, "EVIL");
  network_.Register(0, "X\"\rAT+CFUN=4\r");
  EXPECT_EQ(messages_.back(), kStrRegistrationFailed);
  EXPECT_EQ(Sent("AT+CFUN=4"), 0);
  EXPECT_EQ(ControlText("history").find("AT+COPS=1"), std::string::npos);
}

TEST_F(NetworkModemTest, PreferenceIsSet) {
  network_.SetPreference(1);
  EXPECT_TRUE(disabled_.count(kCtlApplyPreference));
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(Sent("AT+PHPREF=2"), 1);
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(disabled_.empty());
  network_.SetPreference(7);
  EXPECT_EQ(messages_, std::vector<StringId>{kStrPreferenceFailed});
}

TEST_F(NetworkModemTest, PreferenceTimeOutGivesUp) {
  Control("fault silent");
  network_.SetPreference(3);
  loop_.Advance(kPreferenceWaitMs - 10);
  EXPECT_FALSE(PortFree());
  ASSERT_TRUE(Until([&] { return Idle(); }, 100));
  EXPECT_EQ(messages_, std::vector<StringId>{kStrModemTimeout});
  EXPECT_TRUE(PortFree());  // slot 17 empty, port Ready
  EXPECT_TRUE(disabled_.empty());
  // The next command goes through.
  network_.SetPreference(0);
  ASSERT_TRUE(Until([&] { return Idle(); }));
  EXPECT_EQ(Sent("AT+PHPREF=1"), 1);
}

TEST_F(NetworkModemTest, SearchTimeOutGivesUp) {
  Control("fault silent");
  network_.SetMode(1);
  network_.Search();
  loop_.Advance(kNetworkWaitMs + 10);
  ASSERT_TRUE(Until([&] { return Idle(); }, 100));
  EXPECT_TRUE(PortFree());
  EXPECT_TRUE(disabled_.empty());
}

class RadioModemTest : public SecurityModemFixture {
protected:
  void SetUp() override {
    SecurityModemFixture::SetUp();
    fan_.targets.push_back(&radio_);
    setupData_.Setup_nPowerManagement = 1;
  }
  RadioView View() {
    RadioView v;
    v.enableRadio = [this](bool on, bool off) { onEnabled_ = on, offEnabled_ = off; };
    v.enablePinButtons = [this](bool e) { pinEnabled_ = e; };
    v.showMessage = [this](StringId id) { messages_.push_back(id); };
    v.setBusy = [this](bool b) { busy_ = b; };
    v.saveSettings = [this] { return static_cast<bool>(SaveSettings(setupData_, file_)); };
    return v;
  }
  int SavedState() {
    CSetupData read;
    LoadSettings(read, file_);
    return read.Setup_nPowerManagement;
  }
  scratch::TempDir dir_;
  std::string file_ = dir_.File("EVDO.ini");
  CSetupData setupData_;
  bool onEnabled_ = false, offEnabled_ = false, pinEnabled_ = false, busy_ = false;
  std::vector<StringId> messages_;
  CRadioSwitch radio_{exchange_, window_, View(), setupData_};
};

TEST_F(RadioModemTest, OffThenOnIsSavedEachTime) {
  radio_.Open();
  EXPECT_FALSE(onEnabled_);
  EXPECT_TRUE(offEnabled_);
  radio_.Switch(false);
  EXPECT_FALSE(offEnabled_);
  EXPECT_FALSE(pinEnabled_);
  ASSERT_TRUE(Until([&] { return !radio_.IsOn(); }));
  EXPECT_EQ(SavedState(), 0);
  EXPECT_TRUE(onEnabled_);
  EXPECT_FALSE(pinEnabled_);
  EXPECT_NE(ControlText("network").find("radio off"), std::string::npos);
  radio_.Switch(true);
  ASSERT_TRUE(Until([&] { return radio_.IsOn(); }));
  EXPECT_EQ(SavedState(), 1);
  EXPECT_TRUE(pinEnabled_);
  EXPECT_TRUE(offEnabled_);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(RadioModemTest, TimeOutGivesUpAndFreesThePort) {
  radio_.Open();
  Control("fault silent");
  radio_.Switch(false);
  EXPECT_TRUE(busy_);
  loop_.Advance(kRadioWaitMs - 10);
  EXPECT_FALSE(PortFree());
  ASSERT_TRUE(Until([&] { return !radio_.IsBusy(); }, 100));
  EXPECT_EQ(messages_, std::vector<StringId>{kStrModemTimeout});
  EXPECT_TRUE(PortFree());
  EXPECT_FALSE(busy_);
  EXPECT_TRUE(radio_.IsOn());
  EXPECT_TRUE(offEnabled_);  // the buttons are back as they were
  EXPECT_TRUE(pinEnabled_);
  radio_.Switch(false);
  ASSERT_TRUE(Until([&] { return !radio_.IsOn(); }));
}

TEST_F(RadioModemTest, RefusedCommandShowsMessage215AndKeepsTheState) {
  radio_.Open();
  Control("network cfun refuse");
  radio_.Switch(false);
  ASSERT_TRUE(Until([&] { return !radio_.IsBusy() && loop_.PendingMessages() == 0; }));
  EXPECT_EQ(messages_, std::vector<StringId>{kStrRadioSwitchFailed});
  EXPECT_TRUE(radio_.IsOn());
  EXPECT_TRUE(offEnabled_);
  EXPECT_TRUE(pinEnabled_);
}

}  // namespace
}  // namespace evdo
