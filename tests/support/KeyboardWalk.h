#pragma once
// Walks a window or one of its pages with the keyboard only: Tab from the
// first control until the focus comes back to it, then Backtab the same way.
// Finds controls Tab never reaches, a Tab order that jumps back against
// the reading order (up and to the left), a Backtab order that is not the
// reverse, and controls without an accessible name (as a screen reader
// asks for it). Needs a QApplication; the window is shown and activated.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/skin/KeyboardAccess.h"

namespace evdo::test {

struct KeyboardWalk {
  std::vector<QWidget*> order;        // root's controls in Tab order from the first
  std::vector<std::string> problems;  // empty: nothing found
};

inline std::string Describe(const QWidget* w) {
  std::string s = w->metaObject()->className();
  if (!w->objectName().isEmpty()) s += " '" + w->objectName().toStdString() + "'";
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) s += " \"" + b->text().toStdString() + "\"";
  return s;
}

// The name a screen reader hears for w.
inline QString AccessibleNameOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface != nullptr ? iface->text(QAccessible::Name).trimmed() : QString();
}

using keyboard::ControlOf;

// Radio buttons of one exclusive group: Tab stops at one of them, the
// arrows move among them.
inline bool SameRadioGroup(const QWidget* a, const QWidget* b) {
  const auto* ra = qobject_cast<const QRadioButton*>(a);
  const auto* rb = qobject_cast<const QRadioButton*>(b);
  if (ra == nullptr || rb == nullptr) return false;
  if (ra->group() != nullptr) return ra->group() == rb->group() && ra->group()->exclusive();
  return rb->group() == nullptr && ra->autoExclusive() && rb->autoExclusive() &&
         ra->parentWidget() == rb->parentWidget();
}

inline QRect RectIn(const QWidget* w, const QWidget* root) {
  return QRect(w->mapTo(root, QPoint(0, 0)), w->size());
}

inline void ActivateWindowOf(QWidget* root) {
  QWidget* window = root->window();
  if (!window->isVisible()) window->show();
  window->raise();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  (void)QTest::qWaitForWindowActive(window, 2000);
}

inline QWidget* PressTab(bool forward) {
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = QApplication::activeWindow();
  if (target == nullptr) return nullptr;
  QTest::keyClick(target, forward ? Qt::Key_Tab : Qt::Key_Backtab, forward ? Qt::NoModifier : Qt::ShiftModifier);
  QWidget* focus = QApplication::focusWidget();
  return focus != nullptr ? ControlOf(focus) : nullptr;
}

inline KeyboardWalk WalkWithKeyboard(QWidget* root) {
  KeyboardWalk walk;
  ActivateWindowOf(root);
  const std::vector<QWidget*> expected = keyboard::FocusControls(root, true);
  if (expected.empty()) return walk;
  std::vector<QWidget*> reading = keyboard::ReadingOrder(root);
  reading.erase(std::remove_if(reading.begin(), reading.end(),
                               [&](QWidget* w) {
                                 return std::find(expected.begin(), expected.end(), w) == expected.end() ||
                                        (qobject_cast<QRadioButton*>(w) != nullptr &&
                                         !qobject_cast<QRadioButton*>(w)->isChecked() &&
                                         std::any_of(expected.begin(), expected.end(), [w](QWidget* o) {
                                           return o != w && SameRadioGroup(o, w) &&
                                                  qobject_cast<QRadioButton*>(o)->isChecked();
                                         }));
                               }),
                reading.end());
  if (reading.empty()) return walk;
  QWidget* first = reading.front();
  first->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  if (ControlOf(QApplication::focusWidget()) != first) {
    walk.problems.push_back("cannot focus " + Describe(first));
    return walk;
  }
  auto inRoot = [root](QWidget* w) { return w != nullptr && (w == root || root->isAncestorOf(w)); };
  // Forward: the whole window's cycle, back to the first control.
  const int limit = 4 * static_cast<int>(keyboard::FocusControls(root->window(), true).size()) + 8;
  std::vector<QWidget*> cycle{first};
  for (int i = 0; i < limit; ++i) {
    QWidget* now = PressTab(true);
    if (now == nullptr) {
      walk.problems.push_back("Tab left the window after " + Describe(cycle.back()));
      break;
    }
    if (now == first) break;
    if (std::find(cycle.begin(), cycle.end(), now) != cycle.end()) {
      std::string path;
      for (QWidget* c : cycle) path += Describe(c) + " > ";
      walk.problems.push_back("Tab cycles without coming back to the first control: " + path + Describe(now));
      break;
    }
    cycle.push_back(now);
  }
  for (QWidget* w : cycle)
    if (inRoot(w)) walk.order.push_back(w);
  // Every control is reached (one radio button of a group stands for all).
  for (QWidget* w : expected) {
    const bool reached = std::any_of(walk.order.begin(), walk.order.end(),
                                     [w](QWidget* o) { return o == w || SameRadioGroup(o, w); });
    if (!reached) walk.problems.push_back("Tab never reaches " + Describe(w));
  }
  // The order reads top to bottom and left to right: a step may go down,
  // right in its row, or up into a column to the right, never back.
  constexpr int kTolerance = 4;
  for (std::size_t i = 1; i < walk.order.size(); ++i) {
    const QRect a = RectIn(walk.order[i - 1], root);
    const QRect b = RectIn(walk.order[i], root);
    const bool above = b.bottom() < a.top() + kTolerance;
    const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
    const bool rightColumn = b.left() >= a.right() - kTolerance;
    const bool leftInRow = sameRow && b.right() <= a.left() + kTolerance;
    if ((above && !rightColumn) || leftInRow)
      walk.problems.push_back("Tab goes back from " + Describe(walk.order[i - 1]) + " to " + Describe(walk.order[i]));
  }
  // Backtab: the same cycle in reverse.
  first->setFocus(Qt::BacktabFocusReason);
  for (std::size_t i = 1; i < cycle.size(); ++i) {
    QWidget* now = PressTab(false);
    QWidget* want = cycle[cycle.size() - i];
    if (now != want) {
      walk.problems.push_back("Backtab reaches " + (now ? Describe(now) : std::string("nothing")) + " where " +
                              Describe(want) + " was expected");
      break;
    }
  }
  for (QWidget* w : expected)
    if (AccessibleNameOf(w).isEmpty()) walk.problems.push_back("no accessible name: " + Describe(w));
  return walk;
}

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += "  " + l + "\n";
  return all;
}

}  // namespace evdo::test
