#pragma once
// The common base dialog of every window of the system. On initialisation
// (just before it first shows) it re-reads the settings file and applies the
// skin that Setup_nSkinStyle chooses; a skinned window is frameless and
// paints its frame, title bar, title-bar buttons and push buttons from the
// skin's pictures, and moves and resizes by them. It also is the window's
// end of the event layer: messages posted to Port() and its timers arrive at
// OnMessage and OnTimer on the window's thread.
#include <QDialog>

#include <array>
#include <memory>
#include <optional>

#include "core/event/WindowPort.h"
#include "ui/event/QtWindowPort.h"
#include "ui/skin/SkinFrameMouse.h"
#include "ui/skin/SkinFramePainter.h"
#include "ui/skin/SkinPaths.h"
#include "ui/skin/SkinPictureSet.h"
#include "ui/skin/SkinSystemMenu.h"

namespace evdo {

class SkinPushStyle;

class CBaseDlg : public QDialog, public WindowHandler {
  Q_OBJECT

public:
  // What the window allows, as its window style: the system menu (and the
  // close button), minimising, maximising, resizing by the frame.
  enum StyleBit : unsigned {
    kStyleSysMenu = 1u << 0,
    kStyleMinimizeBox = 1u << 1,
    kStyleMaximizeBox = 1u << 2,
    kStyleThickFrame = 1u << 3,
  };
  static constexpr unsigned kDefaultStyle = kStyleSysMenu | kStyleThickFrame;

  explicit CBaseDlg(QWidget* parent = nullptr);
  ~CBaseDlg() override;

  // The language module's string lookup, set once by the application.
  // Without one the shipped skins' paths are used.
  static void SetStringLookup(SkinStringLookup lookup);
  static const SkinStringLookup& StringLookup();
  // The language module's text of id, or fallback while no module is active.
  static QString Text(int id, const char* fallback);

  WindowPort& Port() { return port_; }
  QtWindowPort& QtPort() { return port_; }

  // Loads and applies the skin of a skin style (0, 1; others: standard
  // look) and repaints. True when the window is now skinned.
  bool ApplySkin(std::int32_t skinStyle);
  bool IsSkinned() const { return theme_.loaded && isWindow(); }
  std::int32_t SkinStyle() const { return skinStyle_; }
  const SkinTheme& Theme() const { return theme_; }
  const SkinPictureSet& Pictures() const { return pictures_; }
  // Gives the skinned push button look to every push button of this window
  // (done on every show; call it for buttons added later).
  void SkinChildren();

  unsigned WindowStyle() const { return style_; }
  void ModifyStyle(unsigned remove, unsigned add);
  // Whether the style lets a title-bar button act (extra buttons never do).
  bool Allows(TitleButton button) const;

  // The area inside the frame, where the window's content goes.
  QRect ClientRect() const { return contentsRect(); }
  // Where a title-bar button shows now; empty when it does not show.
  QRect TitleButtonRect(TitleButton button) const;
  std::array<bool, kTitleButtonCount> ShownButtons() const;

  SkinSystemMenu& SystemMenu() { return *systemMenu_; }
  void EnableAboutEntry(bool enable);
  void SetAboutEntryText(const QString& text);
  void OpenSystemMenu(const QPoint& globalPos);
  // As the platform's system command message: hands the command to
  // OnSysCommand.
  void SendSysCommand(int command) { OnSysCommand(command); }

  // WindowHandler. WM_CLOSE closes the window, WM_SYSCOMMAND goes to
  // OnSysCommand; other messages and all timers are the derived window's.
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

  void setVisible(bool visible) override;

protected:
  // Runs once, just before the window first shows. This one re-reads the
  // settings, lets the window create its pages and applies the skin (unless
  // the window applied the same skin already); a derived window calls it
  // first, then sets itself up.
  virtual void OnInitDialog();
  // Creates the window's content (pages) when the base dialog asks for it.
  virtual void OnCreatePages() {}
  // System commands: kScClose, kScMinimize, kScMaximize, kScRestore act as
  // far as the style allows; others are the derived window's.
  virtual void OnSysCommand(int command);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Tab and Backtab go through the controls in reading order.
  bool focusNextPrevChild(bool next) override;

private:
  FrameState CurrentFrameState() const;
  SkinFramePainter Painter() const { return SkinFramePainter(theme_, pictures_, palette()); }
  std::optional<TitleButton> ButtonAt(const QPoint& pos) const;
  FrameHit HitAt(const QPoint& pos) const;
  void ClickTitleButton(TitleButton button);
  void ApplyWindowFlags();
  void UpdateFrame();
  void UpdateShape();
  void UpdateSystemMenu();
  void SetHovered(std::optional<TitleButton> button);

  QtWindowPort port_;
  SkinTheme theme_;
  SkinPictureSet pictures_;
  std::unique_ptr<SkinPushStyle> pushStyle_;
  SkinFrameMouse mouse_;
  std::unique_ptr<SkinSystemMenu> systemMenu_;
  std::int32_t skinStyle_ = -1;
  unsigned style_ = kDefaultStyle;
  bool initialised_ = false;
  std::optional<TitleButton> hovered_;
  std::optional<TitleButton> pressed_;
};

}  // namespace evdo
