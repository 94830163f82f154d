#include "ui/skin/CBaseDlg.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QAbstractButton>
#include <QPushButton>
#include <QTabBar>
#include <QWindow>

#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "ui/StringIds.h"
#include "ui/skin/KeyboardAccess.h"
#include "ui/skin/SkinPushStyle.h"

namespace evdo {
namespace {

SkinStringLookup& LookupSlot() {
  static SkinStringLookup lookup;
  return lookup;
}

}  // namespace

CBaseDlg::CBaseDlg(QWidget* parent)
    : QDialog(parent),
      port_(*this),
      mouse_(*this),
      systemMenu_(std::make_unique<SkinSystemMenu>(*this, [this](int command) { SendSysCommand(command); })) {
  systemMenu_->AddEntry(kSysCommandAbout, Text(kStrMenuAbout, "&About..."));
  systemMenu_->SetEnabled(kSysCommandAbout, false);
  setMouseTracking(true);
}

namespace {

// The controls that take the skin's button style: push buttons for their
// look, the other buttons and tab bars for their focus ring.
bool TakesSkinStyle(const QWidget* w) {
  return (qobject_cast<const QAbstractButton*>(w) != nullptr || qobject_cast<const QTabBar*>(w) != nullptr) &&
         w->styleSheet().isEmpty();
}

}  // namespace

CBaseDlg::~CBaseDlg() {
  // The controls must not outlive the style they are drawn with.
  for (auto* control : findChildren<QWidget*>())
    if (control->style() == pushStyle_.get()) control->setStyle(nullptr);
}

void CBaseDlg::SetStringLookup(SkinStringLookup lookup) { LookupSlot() = std::move(lookup); }

const SkinStringLookup& CBaseDlg::StringLookup() { return LookupSlot(); }

QString CBaseDlg::Text(int id, const char* fallback) {
  if (const SkinStringLookup& lookup = LookupSlot()) {
    std::string text = lookup(id);
    if (!text.empty()) return QString::fromStdString(ToUtf8(text));
  }
  return QString::fromUtf8(fallback);
}

void CBaseDlg::setVisible(bool visible) {
  if (visible && !initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  if (visible) {
    SkinChildren();
    // A name for every control (pages and controls may have been added
    // since the last show).
    keyboard::Prepare(this);
  }
  QDialog::setVisible(visible);
}

void CBaseDlg::OnInitDialog() {
  LoadSettings();
  OnCreatePages();
  // A window that applied its skin ahead of its first show (in the same
  // style) does not load it again; the controls made since take it when the
  // window shows.
  const std::int32_t style = CSetupData::Instance().Setup_nSkinStyle;
  if (style != skinStyle_) ApplySkin(style);
}

bool CBaseDlg::ApplySkin(std::int32_t skinStyle) {
  skinStyle_ = skinStyle;
  QMargins before = contentsMargins();
  std::string themeFile = SkinPaths::FileSystemPath(SkinPaths::ThemePathForStyle(skinStyle, StringLookup()));
  theme_ = SkinThemeLoader::Load(themeFile, pictures_);
  if (theme_.loaded)
    pictures_.MakeTransparent(theme_.transColour, theme_.usesTran, theme_.pushButton.trans != 0);
  hovered_.reset();
  pressed_.reset();

  setPalette(IsSkinned() ? SkinPalette(theme_, pictures_, QPalette()) : QPalette());
  auto previousStyle = std::move(pushStyle_);
  if (IsSkinned()) pushStyle_ = std::make_unique<SkinPushStyle>(theme_, pictures_, palette());
  SkinChildren();
  ApplyWindowFlags();
  UpdateFrame();
  // Keep the client area's size when the frame changes.
  QMargins after = contentsMargins();
  if ((testAttribute(Qt::WA_Resized) || isVisible()) && !isMaximized() && !isMinimized())
    resize(size() + QSize(after.left() + after.right() - before.left() - before.right(),
                          after.top() + after.bottom() - before.top() - before.bottom()));
  update();
  return IsSkinned();
}

void CBaseDlg::SkinChildren() {
  for (auto* button : findChildren<QWidget*>()) {
    if (!TakesSkinStyle(button) || button->window() != this) continue;  // another window's control
    QStyle* wanted = pushStyle_.get();
    if (button->style() != wanted && (wanted || button->testAttribute(Qt::WA_SetStyle)))
      button->setStyle(wanted);
  }
}

void CBaseDlg::ModifyStyle(unsigned remove, unsigned add) {
  style_ = (style_ & ~remove) | add;
  ApplyWindowFlags();
  UpdateFrame();
  update();
}

bool CBaseDlg::Allows(TitleButton button) const {
  switch (button) {
    case TitleButton::Close: return (style_ & kStyleSysMenu) != 0;
    case TitleButton::Minimise: return (style_ & kStyleMinimizeBox) != 0;
    case TitleButton::Maximise:
    case TitleButton::Restore: return (style_ & kStyleMaximizeBox) != 0;
    default: return false;
  }
}

std::array<bool, kTitleButtonCount> CBaseDlg::ShownButtons() const {
  std::array<bool, kTitleButtonCount> shown{};
  if (!IsSkinned()) return shown;
  auto has = [&](TitleButton b) { return theme_.Button(b).present; };
  auto at = [&](TitleButton b) -> bool& { return shown[static_cast<std::size_t>(b)]; };
  bool restoreShows = has(TitleButton::Restore) && isMaximized();
  at(TitleButton::Close) = has(TitleButton::Close) && Allows(TitleButton::Close);
  at(TitleButton::Minimise) = has(TitleButton::Minimise) && Allows(TitleButton::Minimise);
  at(TitleButton::Maximise) = has(TitleButton::Maximise) && Allows(TitleButton::Maximise) && !restoreShows;
  at(TitleButton::Restore) = restoreShows && Allows(TitleButton::Restore);
  at(TitleButton::Extra1) = has(TitleButton::Extra1);
  at(TitleButton::Extra2) = has(TitleButton::Extra2);
  return shown;
}

QRect CBaseDlg::TitleButtonRect(TitleButton button) const {
  if (!ShownButtons()[static_cast<std::size_t>(button)]) return {};
  return Painter().ButtonRect(button, width());
}

std::optional<TitleButton> CBaseDlg::ButtonAt(const QPoint& pos) const {
  auto shown = ShownButtons();
  for (std::size_t i = 0; i < kTitleButtonCount; ++i) {
    auto button = static_cast<TitleButton>(i);
    if (shown[i] && Painter().ButtonRect(button, width()).contains(pos)) return button;
  }
  return std::nullopt;
}

FrameHit CBaseDlg::HitAt(const QPoint& pos) const {
  FrameMetrics frame = SkinGeometry::Frame(theme_, isMaximized(), width(), height());
  bool resizable = (style_ & kStyleThickFrame) && !isMaximized();
  return SkinGeometry::HitTest(frame, pos.x(), pos.y(), resizable);
}

void CBaseDlg::ClickTitleButton(TitleButton button) {
  switch (button) {
    case TitleButton::Close: SendSysCommand(kScClose); break;
    case TitleButton::Minimise: SendSysCommand(kScMinimize); break;
    case TitleButton::Maximise: SendSysCommand(isMaximized() ? kScRestore : kScMaximize); break;
    case TitleButton::Restore: SendSysCommand(kScRestore); break;
    default: break;  // the extra buttons have no action
  }
}

void CBaseDlg::OnSysCommand(int command) {
  switch (command) {
    case kScClose:
      if (style_ & kStyleSysMenu) close();
      break;
    case kScMinimize:
      if (style_ & kStyleMinimizeBox) showMinimized();
      break;
    case kScMaximize:
      if (style_ & kStyleMaximizeBox) showMaximized();
      break;
    case kScRestore: showNormal(); break;
    default: break;
  }
}

void CBaseDlg::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message == WM_CLOSE) close();
  if (message == kWmSysCommand) SendSysCommand(static_cast<int>(wParam));
}

void CBaseDlg::OnTimer(TimerId) {}

void CBaseDlg::EnableAboutEntry(bool enable) { systemMenu_->SetEnabled(kSysCommandAbout, enable); }

void CBaseDlg::SetAboutEntryText(const QString& text) { systemMenu_->SetText(kSysCommandAbout, text); }

void CBaseDlg::UpdateSystemMenu() {
  bool changed = isMaximized() || isMinimized();
  systemMenu_->SetEnabled(kScRestore, changed);
  systemMenu_->SetVisible(kScMinimize, style_ & kStyleMinimizeBox);
  systemMenu_->SetEnabled(kScMinimize, !isMinimized());
  systemMenu_->SetVisible(kScMaximize, style_ & kStyleMaximizeBox);
  systemMenu_->SetEnabled(kScMaximize, !isMaximized());
  systemMenu_->SetEnabled(kScClose, style_ & kStyleSysMenu);
  if (IsSkinned()) {
    QPalette pal = systemMenu_->Menu().palette();
    pal.setColor(QPalette::Window, ToQColor(theme_.menuColour));
    systemMenu_->Menu().setPalette(pal);
  } else {
    systemMenu_->Menu().setPalette(QPalette());
  }
}

void CBaseDlg::OpenSystemMenu(const QPoint& globalPos) {
  UpdateSystemMenu();
  systemMenu_->Popup(globalPos);
}

void CBaseDlg::ApplyWindowFlags() {
  if (!isWindow()) return;
  Qt::WindowFlags flags = windowFlags() & (Qt::WindowType_Mask | Qt::WindowStaysOnTopHint);
  if (IsSkinned()) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (style_ & kStyleSysMenu) flags |= Qt::WindowCloseButtonHint;
    if (style_ & kStyleMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (style_ & kStyleMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (flags == windowFlags()) return;
  if (testAttribute(Qt::WA_WState_Created) && windowHandle()) {
    // Changing the flags of a created window through setWindowFlags would
    // hide it (and end a modal run); tell the platform window directly.
    overrideWindowFlags(flags);
    windowHandle()->setFlags(flags);
  } else {
    setWindowFlags(flags);
  }
}

void CBaseDlg::UpdateFrame() {
  if (IsSkinned()) {
    FrameMetrics f = SkinGeometry::Frame(theme_, isMaximized(), width(), height());
    setContentsMargins(f.left, f.top, f.right, f.bottom);
  } else {
    setContentsMargins(0, 0, 0, 0);
  }
  UpdateShape();
}

void CBaseDlg::UpdateShape() {
  if (IsSkinned() && theme_.usesTran && !isMaximized()) {
    FrameState state = CurrentFrameState();
    state.active = true;  // the shape of the active state serves both
    setMask(Painter().Shape(size(), state));
  } else if (!mask().isEmpty()) {
    clearMask();
  }
}

FrameState CBaseDlg::CurrentFrameState() const {
  FrameState state;
  state.active = isActiveWindow();
  state.maximised = isMaximized();
  state.title = windowTitle();
  state.font = font();
  state.font.setBold(true);
  state.shown = ShownButtons();
  state.hovered = hovered_;
  state.pressed = pressed_;
  return state;
}

void CBaseDlg::paintEvent(QPaintEvent* event) {
  if (!IsSkinned()) return QDialog::paintEvent(event);
  QPainter p(this);
  SkinFramePainter painter = Painter();
  painter.PaintBackground(p, contentsRect());
  painter.PaintFrame(p, size(), CurrentFrameState());
}

void CBaseDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  UpdateShape();
}

void CBaseDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  switch (event->type()) {
    case QEvent::WindowStateChange: UpdateFrame(); [[fallthrough]];
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
    case QEvent::FontChange: update(); break;
    default: break;
  }
}

void CBaseDlg::SetHovered(std::optional<TitleButton> button) {
  if (hovered_ == button) return;
  hovered_ = button;
  update();
}

void CBaseDlg::mousePressEvent(QMouseEvent* event) {
  if (!IsSkinned()) return QDialog::mousePressEvent(event);
  QPoint pos = event->position().toPoint();
  QPoint global = event->globalPosition().toPoint();
  auto button = ButtonAt(pos);
  if (event->button() == Qt::RightButton && !button && HitAt(pos) == FrameHit::Caption)
    return OpenSystemMenu(global);
  if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
  if (button) {
    pressed_ = button;
    SetHovered(button);
    update();
    return;
  }
  if (Painter().LogoRect(size(), isMaximized()).contains(pos))
    return OpenSystemMenu(mapToGlobal(QPoint(0, contentsRect().top())));
  if (!mouse_.Begin(HitAt(pos), global)) QDialog::mousePressEvent(event);
}

void CBaseDlg::mouseMoveEvent(QMouseEvent* event) {
  if (!IsSkinned()) return QDialog::mouseMoveEvent(event);
  if (mouse_.Dragging()) return mouse_.Follow(event->globalPosition().toPoint());
  QPoint pos = event->position().toPoint();
  auto button = ButtonAt(pos);
  SetHovered(button);
  FrameHit hit = button ? FrameHit::Caption : HitAt(pos);
  if (hit == FrameHit::Client) unsetCursor();
  else setCursor(SkinFrameMouse::CursorFor(hit));
  QDialog::mouseMoveEvent(event);
}

void CBaseDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (!IsSkinned()) return QDialog::mouseReleaseEvent(event);
  if (mouse_.Dragging()) return mouse_.End();
  if (!pressed_) return QDialog::mouseReleaseEvent(event);
  TitleButton pressed = *pressed_;
  pressed_.reset();
  update();
  if (ButtonAt(event->position().toPoint()) == pressed) ClickTitleButton(pressed);
}

void CBaseDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  QPoint pos = event->position().toPoint();
  if (!IsSkinned() || event->button() != Qt::LeftButton || ButtonAt(pos) || HitAt(pos) != FrameHit::Caption)
    return QDialog::mouseDoubleClickEvent(event);
  if (Allows(TitleButton::Maximise)) SendSysCommand(isMaximized() ? kScRestore : kScMaximize);
}

void CBaseDlg::leaveEvent(QEvent* event) {
  SetHovered(std::nullopt);
  unsetCursor();
  QDialog::leaveEvent(event);
}

void CBaseDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier)
    return OpenSystemMenu(mapToGlobal(contentsRect().topLeft()));
  QDialog::keyPressEvent(event);
}

bool CBaseDlg::focusNextPrevChild(bool next) {
  if (QWidget* target = keyboard::NextControl(this, focusWidget(), next)) {
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  return QDialog::focusNextPrevChild(next);
}

}  // namespace evdo
