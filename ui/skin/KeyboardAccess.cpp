#include "ui/skin/KeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <set>

namespace evdo::keyboard {
namespace {

// Controls made of inner widgets that take the focus for them (a tab bar's
// scroll buttons are the tab bar's).
bool IsCompound(const QWidget* w) {
  return qobject_cast<const QComboBox*>(w) != nullptr || qobject_cast<const QAbstractSpinBox*>(w) != nullptr ||
         qobject_cast<const QTabBar*>(w) != nullptr;
}

bool InsideCompound(const QWidget* w, const QWidget* root) {
  for (const QWidget* p = w->parentWidget(); p != nullptr && p != root->parentWidget(); p = p->parentWidget()) {
    if (IsCompound(p)) return true;
    if (p->isWindow()) break;
  }
  return false;
}

// Qt takes the Tab focus from the unchecked radio buttons of an exclusive
// group (and gives it back when one is checked): they count all the same.
bool TakesTab(const QWidget* w) {
  if (qobject_cast<const QRadioButton*>(w) != nullptr) return w->focusPolicy() != Qt::NoFocus;
  return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

bool IsControl(const QWidget* w, const QWidget* root) {
  if (w->window() != root->window() || !TakesTab(w)) return false;
  if (IsCompound(w)) return true;
  return w->focusProxy() == nullptr && !InsideCompound(w, root);
}

// Top to bottom, then left to right, in root's coordinates.
void SortByPosition(std::vector<QWidget*>& widgets, const QWidget* root) {
  std::stable_sort(widgets.begin(), widgets.end(), [root](const QWidget* a, const QWidget* b) {
    const QPoint pa = a->mapTo(root, QPoint(0, 0));
    const QPoint pb = b->mapTo(root, QPoint(0, 0));
    return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
  });
}

class OrderWalk {
public:
  explicit OrderWalk(const QWidget* root) : root_(root) {}

  void Widget(QWidget* w) {
    if (!visited_.insert(w).second) return;
    if (IsControl(w, root_)) order_.push_back(w);
    if (IsCompound(w)) return;
    // A tab widget: its bar, then its pages.
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
      if (QTabBar* bar = tabs->tabBar()) Widget(bar);
    if (QLayout* l = w->layout()) Layout(l);
    // Children no layout placed (a tab widget's bar and pages, a scroll
    // area's contents, widgets placed by hand): by position.
    std::vector<QWidget*> rest;
    for (QObject* child : w->children()) {
      auto* cw = qobject_cast<QWidget*>(child);
      if (cw != nullptr && !cw->isWindow() && visited_.count(cw) == 0) rest.push_back(cw);
    }
    SortByPosition(rest, root_);
    for (QWidget* cw : rest) Widget(cw);
  }

  const std::vector<QWidget*>& Order() const { return order_; }

private:
  void Item(QLayoutItem* item) {
    if (item == nullptr) return;
    if (QWidget* w = item->widget()) {
      if (!w->isWindow()) Widget(w);
    } else if (QLayout* l = item->layout()) {
      Layout(l);
    }
  }

  void Layout(QLayout* l) {
    std::vector<int> indexes;
    for (int i = 0; i < l->count(); ++i) indexes.push_back(i);
    if (auto* grid = qobject_cast<QGridLayout*>(l)) {
      auto cell = [grid](int i) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(i, &row, &column, &rows, &columns);
        return std::pair{row, column};
      };
      std::stable_sort(indexes.begin(), indexes.end(), [&](int a, int b) { return cell(a) < cell(b); });
    } else if (auto* form = qobject_cast<QFormLayout*>(l)) {
      auto cell = [form](int i) {
        int row = 0;
        QFormLayout::ItemRole role{};
        form->getItemPosition(i, &row, &role);
        return std::pair{row, static_cast<int>(role)};
      };
      std::stable_sort(indexes.begin(), indexes.end(), [&](int a, int b) { return cell(a) < cell(b); });
    } else if (auto* box = qobject_cast<QBoxLayout*>(l);
               box != nullptr && (box->direction() == QBoxLayout::RightToLeft ||
                                  box->direction() == QBoxLayout::BottomToTop)) {
      std::reverse(indexes.begin(), indexes.end());
    }
    for (int i : indexes) Item(l->itemAt(i));
  }

  const QWidget* root_;
  std::set<const QWidget*> visited_;
  std::vector<QWidget*> order_;
};

QString Clean(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QChar('&'));
  text.replace(QChar('\x01'), QChar('&'));
  text = text.simplified();
  while (text.endsWith(QChar(':')) || text.endsWith(QChar(0xFF1A)))  // ':' and the full-width colon
    text.chop(1);
  return text.trimmed();
}

bool HasWords(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

QString LabelText(const QWidget* w) {
  const auto* label = qobject_cast<const QLabel*>(w);
  return label == nullptr ? QString() : Clean(label->text());
}

// The layout under l that holds w directly, or null.
QLayout* HolderOf(QLayout* l, const QWidget* w) {
  if (l == nullptr) return nullptr;
  if (l->indexOf(w) >= 0) return l;
  for (int i = 0; i < l->count(); ++i)
    if (QLayout* found = HolderOf(l->itemAt(i)->layout(), w)) return found;
  return nullptr;
}

// The label before w in its layout: left of it in a grid or a row, the
// label of its form row.
QString NeighbourLabel(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  if (parent == nullptr) return {};
  QLayout* holder = HolderOf(parent->layout(), w);
  if (holder == nullptr) return {};
  const int index = holder->indexOf(w);
  if (auto* form = qobject_cast<QFormLayout*>(holder))
    return LabelText(form->labelForField(const_cast<QWidget*>(w)));
  if (auto* grid = qobject_cast<QGridLayout*>(holder)) {
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(index, &row, &column, &rows, &columns);
    for (int c = column - 1; c >= 0; --c) {
      QLayoutItem* item = grid->itemAtPosition(row, c);
      if (item == nullptr) continue;
      return item->widget() != nullptr ? LabelText(item->widget()) : QString();
    }
    return {};
  }
  if (auto* box = qobject_cast<QBoxLayout*>(holder);
      box != nullptr && (box->direction() == QBoxLayout::LeftToRight) && index > 0) {
    QLayoutItem* before = box->itemAt(index - 1);
    return before != nullptr && before->widget() != nullptr ? LabelText(before->widget()) : QString();
  }
  return {};
}

}  // namespace

std::vector<QWidget*> FocusControls(const QWidget* root, bool visibleOnly) {
  std::vector<QWidget*> controls;
  const QWidget* window = root->window();
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!IsControl(w, root)) continue;
    if (visibleOnly && (!w->isVisibleTo(window) || !w->isEnabled())) continue;
    controls.push_back(w);
  }
  return controls;
}

std::vector<QWidget*> ReadingOrder(const QWidget* root) {
  OrderWalk walk(root);
  walk.Widget(const_cast<QWidget*>(root));
  std::vector<QWidget*> order = walk.Order();
  std::vector<QWidget*> rest;
  for (QWidget* w : FocusControls(root, false))
    if (std::find(order.begin(), order.end(), w) == order.end()) rest.push_back(w);
  SortByPosition(rest, root);
  order.insert(order.end(), rest.begin(), rest.end());
  order.erase(std::remove(order.begin(), order.end(), root), order.end());
  return order;
}

QWidget* ControlOf(QWidget* focus) {
  QWidget* control = focus;
  for (QWidget* p = focus; p != nullptr && !p->isWindow(); p = p->parentWidget())
    if (IsCompound(p)) control = p;
  return control;
}

QWidget* NextControl(const QWidget* root, QWidget* current, bool forward) {
  const QWidget* window = root->window();
  current = current != nullptr ? ControlOf(current) : nullptr;
  std::vector<QWidget*> stops;
  for (QWidget* w : ReadingOrder(root)) {
    if (!w->isVisibleTo(window) || !w->isEnabled()) continue;
    if (w != current) {
      if (const auto* radio = qobject_cast<QRadioButton*>(w); radio != nullptr && !radio->isChecked()) {
        // A stop only when no button of its exclusive group is checked and
        // it is the group's first.
        QList<QAbstractButton*> group;
        if (radio->group() != nullptr && radio->group()->exclusive())
          group = radio->group()->buttons();
        else if (radio->group() == nullptr && radio->autoExclusive() && radio->parentWidget() != nullptr)
          for (QRadioButton* other : radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            if (other->autoExclusive() && other->group() == nullptr) group.append(other);
        const bool covered = std::any_of(group.begin(), group.end(), [&](QAbstractButton* b) {
          return b != radio && b->isVisibleTo(window) && b->isEnabled() && (b->isChecked() || b == current);
        });
        const bool firstOfGroup = std::none_of(stops.begin(), stops.end(), [&](QWidget* s) {
          return group.contains(qobject_cast<QAbstractButton*>(s));
        });
        if (!group.isEmpty() && (covered || !firstOfGroup)) continue;
      }
    }
    stops.push_back(w);
  }
  if (stops.empty()) return nullptr;
  auto at = std::find(stops.begin(), stops.end(), current);
  if (at == stops.end()) return forward ? stops.front() : stops.back();
  const auto index = static_cast<std::size_t>(at - stops.begin());
  const std::size_t n = stops.size();
  return stops[forward ? (index + 1) % n : (index + n - 1) % n];
}

QString NameFromLabel(const QWidget* control) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    const QString text = Clean(button->text());
    if (HasWords(text)) return text;
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
    const QString title = Clean(group->title());
    if (!title.isEmpty()) return title;
  }
  for (const QLabel* label : control->window()->findChildren<QLabel*>())
    if (label->buddy() == control) {
      const QString text = Clean(label->text());
      if (!text.isEmpty()) return text;
    }
  if (QString text = NeighbourLabel(control); !text.isEmpty()) return text;
  if (const auto* tabBar = qobject_cast<const QTabBar*>(control)) {
    if (const auto* tabs = qobject_cast<const QTabWidget*>(tabBar->parentWidget());
        tabs != nullptr && !tabs->accessibleName().isEmpty())
      return tabs->accessibleName();
    return {};
  }
  if (QString tip = Clean(control->toolTip()); !tip.isEmpty()) return tip;
  if (const auto* edit = qobject_cast<const QLineEdit*>(control); edit != nullptr && !edit->placeholderText().isEmpty())
    return Clean(edit->placeholderText());
  for (const QWidget* p = control->parentWidget(); p != nullptr && !p->isWindow(); p = p->parentWidget())
    if (const auto* group = qobject_cast<const QGroupBox*>(p)) {
      const QString title = Clean(group->title());
      if (!title.isEmpty()) return title;
    }
  // A list that is its window's content: the window's title.
  if (qobject_cast<const QAbstractItemView*>(control) != nullptr && control->window() != control)
    return Clean(control->window()->windowTitle());
  return {};
}

std::vector<QWidget*> NameControls(const QWidget* root) {
  std::vector<QWidget*> unnamed;
  for (QWidget* w : FocusControls(root, false)) {
    if (!w->accessibleName().isEmpty()) continue;
    // A button with words is named by its text (also when the text
    // changes later); so is a control whose label names it as its buddy.
    if (const auto* button = qobject_cast<QAbstractButton*>(w); button != nullptr && HasWords(Clean(button->text())))
      continue;
    const QString name = NameFromLabel(w);
    if (name.isEmpty()) {
      unnamed.push_back(w);
      continue;
    }
    w->setAccessibleName(name);
  }
  return unnamed;
}

void Prepare(const QWidget* root) { NameControls(root); }

}  // namespace evdo::keyboard
