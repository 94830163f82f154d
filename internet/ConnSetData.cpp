#include "internet/ConnSetData.h"

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"

namespace evdo {

ConnSetData DefaultConnSetData() {
  ConnSetData d{};
  d.closeAction = 1;
  d.autoLink[0] = kAutoLinkWlan;
  d.autoLink[1] = kAutoLink3G;
  d.autoLink[2] = kAutoLink1X;
  SetFieldText(d.province, FromUtf8("请选择省份"));
  return d;
}

}  // namespace evdo
