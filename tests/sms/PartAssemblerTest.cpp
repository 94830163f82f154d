#include "sms/PartAssembler.h"

#include <gtest/gtest.h>

#include "tests/sms/SmsTestSupport.h"

namespace evdo::sms {
namespace {

SmsRecord Part(std::uint16_t reference, std::uint8_t index, std::uint8_t count, std::string_view text,
               std::string_view number = "13800138000") {
  SmsRecord r = test::MakeRecord(RecUnread, number, DateTime::FromLocal(2009, 8, 17, 14, index, 0), text);
  r.flags = kSmsFlagNew | kSmsFlagPartInfo;
  r.reference = reference;
  r.partIndex = index;
  r.partCount = count;
  SetFullFieldText(r.serviceCentre, "+8613800100500");
  return r;
}

TEST(PartAssembler, JoinsPartsArrivingInAnyOrder) {
  PartAssembler a;
  SmsRecord out;
  EXPECT_EQ(a.AddPart(Part(9, 3, 3, "three")), 0);
  EXPECT_EQ(a.AddPart(Part(9, 1, 3, "one ")), 0);
  EXPECT_EQ(a.TakeComplete(out), -1);
  EXPECT_EQ(out.Text(), "");
  EXPECT_EQ(a.AddPart(Part(9, 2, 3, "two ")), 0);
  ASSERT_EQ(a.TakeComplete(out), 0);
  EXPECT_EQ(out.Text(), "one two three");
  EXPECT_EQ(out.flags, kSmsFlagNew | kSmsFlagJoined);
  EXPECT_EQ(out.status, RecUnread);
  EXPECT_EQ(out.reference, 9);
  EXPECT_EQ(out.partIndex + out.partCount, 0);
  EXPECT_EQ(out.Number(), "13800138000");
  EXPECT_EQ(out.ServiceCentre(), "+8613800100500");
  EXPECT_EQ(out.Time(), DateTime::FromLocal(2009, 8, 17, 14, 2, 0));  // of the part filed last
  EXPECT_EQ(a.GetSlot(0).used, 0);
  EXPECT_EQ(a.GetSlot(0).timerId, 34);
}

TEST(PartAssembler, SeparatesBySenderReferenceCountAndRepeatedPart) {
  PartAssembler a;
  EXPECT_EQ(a.AddPart(Part(1, 1, 2, "a")), 0);
  EXPECT_EQ(a.AddPart(Part(1, 1, 2, "b", "10086")), 1);  // other sender
  EXPECT_EQ(a.AddPart(Part(2, 1, 2, "c")), 2);           // other reference
  EXPECT_EQ(a.AddPart(Part(1, 1, 3, "d")), 3);           // other count
  EXPECT_EQ(a.AddPart(Part(1, 1, 2, "e")), 4);           // part 1 again
  EXPECT_EQ(a.AddPart(Part(1, 2, 2, "f")), 0);           // the first slot still lacks part 2
  SmsRecord out;
  ASSERT_EQ(a.TakeComplete(out), 0);
  EXPECT_EQ(out.Text(), "af");
}

TEST(PartAssembler, RefusesInvalidPartInformation) {
  PartAssembler a;
  SmsRecord noFlag = Part(1, 1, 2, "x");
  noFlag.flags = kSmsFlagNew;
  EXPECT_EQ(a.AddPart(noFlag), -1);
  EXPECT_EQ(a.AddPart(Part(1, 0, 2, "x")), -1);
  EXPECT_EQ(a.AddPart(Part(1, 1, 0, "x")), -1);
  EXPECT_EQ(a.AddPart(Part(1, 3, 2, "x")), -1);
  EXPECT_EQ(a.AddPart(Part(1, 6, 6, "x")), -1);
  EXPECT_EQ(a.AddPart(Part(1, 1, 6, "x")), -1);
  EXPECT_EQ(a.AddPart(Part(1, 5, 5, "x")), 0);
  // A part too long to join is left to be stored whole by the caller.
  EXPECT_EQ(a.AddPart(Part(1, 1, 2, std::string(307, 'x'))), -1);
  EXPECT_EQ(a.AddPart(Part(1, 1, 2, std::string(306, 'x'))), 1);
}

TEST(PartAssembler, SixteenthLongMessageFindsNoSlot) {
  PartAssembler a;
  for (int i = 0; i < 15; ++i) ASSERT_EQ(a.AddPart(Part(static_cast<std::uint16_t>(i), 1, 2, "x")), i);
  EXPECT_EQ(a.AddPart(Part(15, 1, 2, "x")), -1);
  a.ClearSlot(7);
  EXPECT_EQ(a.AddPart(Part(15, 1, 2, "x")), 7);
  a.ClearSlot(kAllSlots);
  for (int i = 0; i < kAssemblerSlots; ++i) {
    EXPECT_EQ(a.GetSlot(i).used, 0);
    EXPECT_EQ(a.GetSlot(i).timerId, 34 + i);
  }
}

TEST(PartAssembler, FiveFullPartsFitTheTextField) {
  PartAssembler a;
  for (std::uint8_t k = 1; k <= 5; ++k) ASSERT_EQ(a.AddPart(Part(4, k, 5, std::string(306, 'a' + k))), 0);
  SmsRecord out;
  ASSERT_EQ(a.TakeComplete(out), 0);
  EXPECT_EQ(out.Text().size(), 1530u);
  EXPECT_EQ(out.Text().substr(306 * 4), std::string(306, 'f'));
}

TEST(PartAssembler, ExpiryDeliversEachReceivedPart) {
  PartAssembler a;
  ASSERT_EQ(a.AddPart(Part(3, 1, 2, "x")), 0);
  ASSERT_EQ(a.AddPart(Part(8, 4, 4, "four")), 1);
  ASSERT_EQ(a.AddPart(Part(8, 2, 4, "two")), 1);
  ExpiredParts parts;
  EXPECT_EQ(a.ExpireSlot(33, parts), 0);
  EXPECT_EQ(a.ExpireSlot(49, parts), 0);
  EXPECT_EQ(a.ExpireSlot(36, parts), 0);  // a free slot
  ASSERT_EQ(a.ExpireSlot(35, parts), 2);
  const std::pair<int, const char*> expected[] = {{2, "two"}, {4, "four"}};
  for (int i = 0; i < 2; ++i) {
    const SmsRecord& r = parts.records[i];
    EXPECT_EQ(r.partIndex, expected[i].first);
    EXPECT_EQ(r.Text(), expected[i].second);
    EXPECT_EQ(r.flags, kSmsFlagNew | kSmsFlagPartInfo);
    EXPECT_EQ(r.status, RecUnread);
    EXPECT_EQ(r.partCount, 4);
    EXPECT_EQ(r.reference, 8);
    EXPECT_EQ(r.Number(), "13800138000");
  }
  EXPECT_EQ(a.GetSlot(1).used, 0);
  EXPECT_EQ(a.GetSlot(0).used, 1);
  EXPECT_EQ(a.ExpireSlot(35, parts), 0);
}

}  // namespace
}  // namespace evdo::sms
