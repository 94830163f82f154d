#pragma once
// Keyboard and screen-reader access of a window: the controls that Tab
// reaches, in the order the window's layouts read (top to bottom, left to
// right, a group's controls together), and the accessible name of each
// control, taken from the text the user sees next to it. Every skinned
// window (CBaseDlg) prepares itself this way when it shows, so a page added
// to a window needs nothing more than labels, or an explicit
// setAccessibleName for a control without one.
#include <QString>

#include <vector>

class QWidget;

namespace evdo::keyboard {

// The controls of root's window under root that take the focus by Tab
// (a compound control counts once, as the widget that gets the focus).
// visibleOnly: only those that can take it now (shown and enabled).
std::vector<QWidget*> FocusControls(const QWidget* root, bool visibleOnly);

// The same controls in reading order: the order of the layouts (a box
// layout's items in turn, a grid's rows, then columns, a tab widget's bar
// before its pages), controls outside layouts after them by position.
std::vector<QWidget*> ReadingOrder(const QWidget* root);

// The control a focus widget belongs to (an editable combo box's line edit
// belongs to its combo box).
QWidget* ControlOf(QWidget* focus);

// Where Tab (forward) or Backtab goes from current among root's controls
// that can take the focus now, in reading order and round. Of the radio
// buttons of one exclusive group only the checked one is a stop (the arrow
// keys move among them). Null when root has no such control.
QWidget* NextControl(const QWidget* root, QWidget* current, bool forward);

// The name a control's surroundings give it: a button's text (or tool
// tip when the text is only a symbol), its buddy label, the label before
// it in its layout, its tool tip or place-holder text, its group's title,
// for a list its window's title.
// Empty when there is none.
QString NameFromLabel(const QWidget* control);

// Gives every control without an accessible name its label's name; returns
// the controls still without one.
std::vector<QWidget*> NameControls(const QWidget* root);

// What a window does when it shows: names its controls. (Its Tab key
// goes through NextControl.)
void Prepare(const QWidget* root);

}  // namespace evdo::keyboard
