#pragma once
// The simulated modem's short messages: the two storages "ME" (device
// memory) and "SM" (card) with their capacities and locations, the storage
// selection "AT$QCPMS=", reading "AT$QCMGR=", writing "AT+CMGW=" (prompt,
// then the hexadecimal UCS-2 text and Ctrl-Z), deleting "AT$QCMGD=", the
// service centre "AT+CSCA=", the parameters "AT$QCSMP=", sending
// "AT$QCMGS=" (prompt and text), the preferred storage "AT+CPMS=" and the
// routing "AT$QCNMI=". Every message sent is recorded with its number,
// parameters, part header and decoded text. The control command "sms"
// delivers messages (stored with "+CMTI: ", directly with "+CMT: ", in
// parts, some never coming), sends delivery reports, lists the storages and
// what was sent, and makes the next sends fail.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class SmsFeature final : public ModemFeature {
public:
  struct Stored {
    std::string status;  // "REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"
    std::string number;
    std::string stamp;   // "yy/mm/dd,hh:mm:ss+32"
    std::string serviceCentre;
    std::string partInfo;  // "ref/seq/total" or ""
    std::string hexText;
    std::string text;  // decoded (UTF-8)
  };
  struct Storage {
    int capacity = 0;
    std::map<int, Stored> messages;  // by location index (0-based)
    int Used() const { return static_cast<int>(messages.size()); }
    int FreeIndex() const;
  };
  struct Sent {
    std::string number;
    std::string type;
    std::string parameters;  // "fo,vp,pid,dcs" in force
    std::string header;      // the part header in hexadecimal, or ""
    std::string text;        // decoded (UTF-8)
  };

  static constexpr int kMeCapacity = 100;
  static constexpr int kSmCapacity = 30;
  static constexpr int kDefaultErrorCode = 500;

  const char* Name() const override { return "sms"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;

  Storage me{kMeCapacity, {}};
  Storage sm{kSmCapacity, {}};
  std::string readStorage = "ME";
  std::string writeStorage = "ME";
  std::string preferredStorage = "ME";
  std::string parameters = "17,167,0,0";
  int routingMode = 2;
  int routingMt = 1;
  std::vector<Sent> sent;
  int failNext = 0;       // sends that answer "+CMS ERROR: failCode"
  int failAfter = 0;      // ... after this many more succeed
  int failCode = kDefaultErrorCode;
  int messageReference = 0;
  int deliverReference = 0;
  std::uint64_t reads = 0;  // "AT$QCMGR=" commands answered

  Storage* Find(std::string_view name);

  // The text in hexadecimal UCS-2 and back (UTF-8 texts).
  static std::string EncodeHex(std::string_view utf8);
  static std::string DecodeHex(std::string_view hex);

private:
  void InstallCommands(ModemEngine& engine);
  ControlResult Control(ModemEngine& engine, std::string_view args);
  ControlResult Deliver(ModemEngine& engine, std::string_view args);
  ControlResult List(std::string_view name) const;
  void AnswerSelection(ModemReply& reply);
  bool SendFails();
  // Splits a user data block into its header (when the parameters say it
  // has one) and its decoded text.
  void SplitBlock(const std::string& block, std::string& header, std::string& text) const;
};

}  // namespace evdo::modemsim
