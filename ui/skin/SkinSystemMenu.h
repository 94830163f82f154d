#pragma once
// The system menu of a window: restore, minimise, maximise, close, and the
// entries the window adds (the About entry, command 16). Choosing an entry
// hands its command to the window.
#include <QString>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace evdo {

// System commands.
constexpr int kScMinimize = 0xF020;
constexpr int kScMaximize = 0xF030;
constexpr int kScClose = 0xF060;
constexpr int kScRestore = 0xF120;
constexpr int kSysCommandAbout = 16;  // the About entry the base dialog adds

constexpr unsigned kWmSysCommand = 0x0112;

class SkinSystemMenu {
public:
  SkinSystemMenu(QWidget& owner, std::function<void(int)> onCommand);

  // Adds an entry after the others; a separator goes before the first one
  // added after the standard entries.
  void AddEntry(int command, const QString& text);
  bool HasEntry(int command) const { return actions_.count(command) != 0; }
  void SetEnabled(int command, bool enabled);
  bool IsEnabled(int command) const;
  void SetVisible(int command, bool visible);
  void SetText(int command, const QString& text);

  void Popup(const QPoint& globalPos);
  QMenu& Menu() { return *menu_; }

private:
  QAction* Add(int command, const QString& text);

  QMenu* menu_;  // owned by the window
  std::function<void(int)> onCommand_;
  std::map<int, QAction*> actions_;
  bool separated_ = false;
};

}  // namespace evdo
