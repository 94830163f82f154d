#include "app/StandardButtonTexts.h"

#include <cstring>

#include "ui/text/QtText.h"

namespace evdo {
namespace {

struct ButtonText {
  const char* source;  // Qt's own wording, the key it asks translators for
  StringId id;
};

constexpr ButtonText kButtons[] = {
    {"OK", kStrButtonOk},       {"Cancel", kStrButtonCancel}, {"&Yes", kStrButtonYes},
    {"&No", kStrButtonNo},      {"Close", kStrStdButtonClose},   {"Save", kStrButtonSave},
    {"Open", kStrButtonOpen},   {"Apply", kStrButtonApply},   {"Help", kStrButtonHelp},
};

}  // namespace

QString CStandardButtonTexts::translate(const char* context, const char* sourceText, const char*, int) const {
  if (context == nullptr || sourceText == nullptr) return {};
  if (std::strcmp(context, "QPlatformTheme") != 0 && std::strcmp(context, "QDialogButtonBox") != 0) return {};
  for (const ButtonText& button : kButtons)
    if (std::strcmp(sourceText, button.source) == 0) return Str(button.id);
  return {};
}

}  // namespace evdo
