#pragma once
// The texts of Qt's standard buttons (OK, Cancel, Yes, No, ...) in message
// boxes and button boxes, taken from the active language module like every
// other text. Installed once the language module is chosen; a box created
// after a language switch shows the new language.
#include <QTranslator>

namespace evdo {

class CStandardButtonTexts : public QTranslator {
  Q_OBJECT

public:
  using QTranslator::QTranslator;

  QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                    int n = -1) const override;
  bool isEmpty() const override { return false; }
};

}  // namespace evdo
