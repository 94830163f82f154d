#include "app/StoreLoadMessage.h"

#include <gtest/gtest.h>

namespace evdo {
namespace {

const StoreLoadTexts kTexts{"%s kept as %s.", "%s stuck.", "%s unreadable."};

TEST(StoreLoadMessage, SaysWhatHappenedToTheFile) {
  EXPECT_EQ(StoreLoadMessage(kTexts, "SmsData.dat", {LoadStatus::Loaded, {}, {}}), "");
  EXPECT_EQ(StoreLoadMessage(kTexts, "SmsData.dat", {LoadStatus::Missing, {}, {}}), "");
  EXPECT_EQ(StoreLoadMessage(kTexts, "SmsData.dat", {LoadStatus::Damaged, "x", "/data/SmsData.dat.damaged-2"}),
            "SmsData.dat kept as SmsData.dat.damaged-2.");
  EXPECT_EQ(StoreLoadMessage(kTexts, "PbData.dat", {LoadStatus::Damaged, "x", ""}), "PbData.dat stuck.");
  EXPECT_EQ(StoreLoadMessage(kTexts, "HistData.dat", {LoadStatus::Unreadable, "x", ""}), "HistData.dat unreadable.");
}

TEST(StoreLoadMessage, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FillPlaceholders("%s and %s", {"a", "b"}), "a and b");
  EXPECT_EQ(FillPlaceholders("%s and %s", {"a"}), "a and ");
  EXPECT_EQ(FillPlaceholders("100% %d %s", {"x"}), "100% %d x");
  EXPECT_EQ(FillPlaceholders("%s", {}), "");
  EXPECT_EQ(FillPlaceholders("end %", {"x"}), "end %");
}

}  // namespace
}  // namespace evdo
