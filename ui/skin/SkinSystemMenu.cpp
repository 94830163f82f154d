#include "ui/skin/SkinSystemMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "ui/StringIds.h"
#include "ui/skin/CBaseDlg.h"

namespace evdo {

SkinSystemMenu::SkinSystemMenu(QWidget& owner, std::function<void(int)> onCommand)
    : menu_(new QMenu(&owner)), onCommand_(std::move(onCommand)) {
  Add(kScRestore, CBaseDlg::Text(kStrMenuRestore, "&Restore"));
  Add(kScMinimize, CBaseDlg::Text(kStrMenuMinimize, "Mi&nimize"));
  Add(kScMaximize, CBaseDlg::Text(kStrMenuMaximize, "Ma&ximize"));
  menu_->addSeparator();
  Add(kScClose, CBaseDlg::Text(kStrMenuClose, "&Close"))->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
}

QAction* SkinSystemMenu::Add(int command, const QString& text) {
  QAction* action = menu_->addAction(text);
  QObject::connect(action, &QAction::triggered, menu_, [this, command] { onCommand_(command); });
  actions_[command] = action;
  return action;
}

void SkinSystemMenu::AddEntry(int command, const QString& text) {
  if (HasEntry(command)) return SetText(command, text);
  if (!separated_) menu_->addSeparator();
  separated_ = true;
  Add(command, text);
}

void SkinSystemMenu::SetEnabled(int command, bool enabled) {
  if (auto it = actions_.find(command); it != actions_.end()) it->second->setEnabled(enabled);
}

bool SkinSystemMenu::IsEnabled(int command) const {
  auto it = actions_.find(command);
  return it != actions_.end() && it->second->isEnabled() && it->second->isVisible();
}

void SkinSystemMenu::SetVisible(int command, bool visible) {
  if (auto it = actions_.find(command); it != actions_.end()) it->second->setVisible(visible);
}

void SkinSystemMenu::SetText(int command, const QString& text) {
  if (auto it = actions_.find(command); it != actions_.end()) it->second->setText(text);
}

void SkinSystemMenu::Popup(const QPoint& globalPos) { menu_->popup(globalPos); }

}  // namespace evdo
