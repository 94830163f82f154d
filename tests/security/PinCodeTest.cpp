#include <gtest/gtest.h>

#include "security/CardCommands.h"
#include "security/PinCode.h"

namespace evdo {
namespace {

TEST(PinCode, OnlyFourToEightDigitsAreACode) {
  EXPECT_TRUE(IsPinCode("1234"));
  EXPECT_TRUE(IsPinCode("12345678"));
  EXPECT_FALSE(IsPinCode("123"));        // 3 characters: message 290
  EXPECT_FALSE(IsPinCode("123456789"));  // 9 characters
  EXPECT_FALSE(IsPinCode(""));
  EXPECT_FALSE(IsPinCode("12a4"));
  EXPECT_FALSE(IsPinCode("12\"4"));
  EXPECT_FALSE(IsPinCode("1234\r"));
  EXPECT_FALSE(IsPinCode(std::string("12\0" "34", 5)));
}

TEST(PinCode, TypingAcceptsDigitsUpToEight) {
  EXPECT_TRUE(IsPinInput(""));
  EXPECT_TRUE(IsPinInput("1"));
  EXPECT_FALSE(IsPinInput("1 "));
  EXPECT_FALSE(IsPinInput("123456789"));
}

TEST(PinCode, PastedTextKeepsItsDigitsOrIsRefusedWhole) {
  EXPECT_EQ(PinFromPaste(" 1234\r\n"), "1234");
  EXPECT_EQ(PinFromPaste("12-34"), "1234");
  EXPECT_EQ(PinFromPaste("1234\"\rAT+CLCK=\"SC\",0,\"1234"), "");
  EXPECT_EQ(PinFromPaste("1234;"), "");
  EXPECT_EQ(PinFromPaste("123456789"), "");
}

TEST(PinCode, CardCommandsCarryOnlyValidCodes) {
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::EnterPin, "1234"), "AT+CPIN=\"1234\"\r");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::LockOn, "1234"), "AT+CLCK=\"SC\",1,\"1234\"\r");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::LockOff, "1234"), "AT+CLCK=\"SC\",0,\"1234\"\r");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::ChangePin, "1234", "5678"),
            "AT+CPWD=\"SC\",\"1234\",\"5678\"\r");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::Unblock, "12345678", "5678"),
            "AT+CPIN=\"12345678\",\"5678\"\r");
  // A quote or a CR could end the code and start a command of its own.
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::EnterPin, "1234\"\rAT+CFUN=4\r"), "");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::LockOff, "12\"4"), "");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::ChangePin, "1234", "56\r8"), "");
  EXPECT_EQ(CCardCommands::CommandText(CardRequest::Unblock, "1234\",\"", "5678"), "");
}

}  // namespace
}  // namespace evdo
