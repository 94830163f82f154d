// The province list of the WLAN settings window.
#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "wlan/ProvinceTable.h"

namespace evdo {
namespace {

TEST(ProvinceTable, OrderLookupAndWidth) {
  EXPECT_STREQ(kProvincesUtf8[0], "请选择省份");
  EXPECT_STREQ(kProvincesUtf8[1], "北京");
  EXPECT_STREQ(kProvincesUtf8[32], "全国中心");
  for (std::size_t i = 0; i < kProvinceCount; ++i) {
    EXPECT_LT(ProvinceAnsi(i).size(), kProvinceBytes) << i;
    EXPECT_EQ(ProvinceIndex(ProvinceAnsi(i)), i);
  }
  EXPECT_EQ(ProvinceIndex(""), 0u);
  EXPECT_EQ(ProvinceIndex("Atlantis"), 0u);
  // Exact match only.
  EXPECT_EQ(ProvinceIndex(ProvinceAnsi(5) + " "), 0u);
  EXPECT_EQ(ProvinceAnsi(99), ProvinceAnsi(0));
}

}  // namespace
}  // namespace evdo
