#include "wlan/ProvinceTable.h"

#include "core/text/CodePage.h"

namespace evdo {

const std::array<const char*, kProvinceCount> kProvincesUtf8 = {
    "请选择省份", "北京", "上海", "天津", "重庆", "安徽", "福建", "广东", "广西", "甘肃", "贵州",
    "海南",       "河南", "河北", "黑龙江", "湖南", "湖北", "江苏", "吉林", "江西", "辽宁", "内蒙古",
    "宁厦",       "青海", "山东", "山西", "陕西", "四川", "新疆", "西藏", "云南", "浙江", "全国中心"};

std::string ProvinceAnsi(std::size_t index) {
  if (index >= kProvinceCount) index = 0;
  return FromUtf8(kProvincesUtf8[index]);
}

std::size_t ProvinceIndex(std::string_view storedAnsi) {
  for (std::size_t i = 0; i < kProvinceCount; ++i)
    if (ProvinceAnsi(i) == storedAnsi) return i;
  return 0;
}

}  // namespace evdo
