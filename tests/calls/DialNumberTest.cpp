#include "calls/DialNumber.h"

#include <gtest/gtest.h>

namespace evdo {
namespace {

TEST(DialNumber, OnlyOneToFortyDialCharactersMayBeDialled) {
  EXPECT_EQ(CheckDialNumber("+8613800138000"), DialCheck::Ok);
  EXPECT_EQ(CheckDialNumber("*#06#"), DialCheck::Ok);
  EXPECT_EQ(CheckDialNumber(std::string(40, '9')), DialCheck::Ok);
  EXPECT_EQ(CheckDialNumber(std::string(41, '9')), DialCheck::TooLong);
  EXPECT_EQ(CheckDialNumber(""), DialCheck::Empty);
  for (std::string bad : std::initializer_list<std::string>{"123\r", "123\n", "12 3", "12-3", "AT", "1;2", "12,3", std::string("12\0" "3", 4), "\xb2\xe2"})
    EXPECT_EQ(CheckDialNumber(bad), DialCheck::BadCharacter) << bad;
}

TEST(DialNumber, FieldAcceptsDialCharactersAndFortyOfThemWhileIdle) {
  EXPECT_TRUE(IsAcceptableFieldText("", false));
  EXPECT_TRUE(IsAcceptableFieldText(std::string(40, '1'), false));
  EXPECT_FALSE(IsAcceptableFieldText(std::string(41, '1'), false));
  EXPECT_TRUE(IsAcceptableFieldText(std::string(41, '1'), true));
  EXPECT_FALSE(IsAcceptableFieldText("1 2", true));
}

TEST(DialNumber, TelLinksLoseTheirVisualSeparatorsAndParameters) {
  EXPECT_EQ(NumberFromTelLink("tel:+86-138-0013-8000"), "+8613800138000");
  EXPECT_EQ(NumberFromTelLink("TEL:(010) 6655.1234;ext=12"), "01066551234");
  EXPECT_EQ(NumberFromTelLink("tel:10086%20"), "10086");
  EXPECT_EQ(NumberFromTelLink("tel:*21%23"), "*21#");
  EXPECT_EQ(NumberFromTelLink("10086"), "10086");
  // What is left is still checked: letters and control characters stay.
  EXPECT_EQ(CheckDialNumber(NumberFromTelLink("tel:123%0D%0AATH")), DialCheck::BadCharacter);
  EXPECT_EQ(CheckDialNumber(NumberFromTelLink("tel:1800-FLOWERS")), DialCheck::BadCharacter);
}

}  // namespace
}  // namespace evdo
