// The Qt widgets that show the framework's windows. Private to platform/qt.
#pragma once

#include <QEvent>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/afx/input.h"
#include "platform/afx/loop.h"
#include "platform/qt/backend.h"

class QAction;
class QMenuBar;

namespace afx {

class ControlView;
class FrameWidget;
class ClientWidget;

// The Qt side of a WindowImpl: a top-level window's frame, client area and menu bar, or a
// control's widget.
struct NativeWindow {
    NativeWindow();
    ~NativeWindow();

    FrameWidget* frame = nullptr;
    ClientWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
    std::vector<std::pair<MenuItem*, QAction*>> menuActions;
    std::unique_ptr<ControlView> control;
    bool syncing = false;  // mirroring state into widgets; ignore their signals

    // The control's widget (nullptr for a top-level window and after destruction).
    QWidget* Widget() const;
};

// The property of a control's widget that holds its WindowImpl.
inline constexpr char kWindowProperty[] = "afxWindow";
// The live window whose control `widget` is, or nullptr.
WindowImpl* WindowOfWidget(const QObject* widget);

// The top-level window: menu bar (when the window has a menu) above the client widget.
class FrameWidget : public QWidget {
  public:
    // `owner`: the frame of the window this one belongs to (a dialog), or nullptr.
    FrameWidget(WindowImpl* impl, QWidget* owner);
    WindowImpl* impl;
    bool applyingState = false;  // the framework itself is minimising or restoring
    // When the framework last minimised or restored the window itself: the window system
    // echoes such changes, sometimes late, and those echoes are not the user's doing.
    std::chrono::steady_clock::time_point lastOwnStateChange{};

  protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
};

// The desktop gave the activation to a window under a modal box or dialog (the player clicked
// it): the box or dialog on top takes it back, shown anew where the desktop refuses (queued).
void ReturnFocusToModalSoon();
// Watches the X server's focus changes for the same purpose (Qt itself hands such a focus to the
// modal window without telling the window).
void WatchFocusOnBlockedWindows();

// The client area: presents the window surface, turns mouse events into messages.
class ClientWidget : public QWidget {
  public:
    ClientWidget(WindowImpl* impl, QWidget* parent);
    WindowImpl* impl;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// Watches control widgets (mouse for notifying statics and bound objects) and the
// application's key events.
class EventRouter : public QObject {
  public:
    static EventRouter* Instance();
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// UTF-8 text for Qt.
inline QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The Qt font of the dialogs (宋体 9 shown with AR PL UMing, 12 pixels).
QFont DialogFont();
QFont FontFromCFont(CFont* font);
QPixmap PixmapFromIcon(HICON icon);
// The icon's pixels for a screen with `deviceRatio` device pixels to a logical pixel: each
// icon pixel a block of whole device pixels, never a smoothed blend.
QPixmap CrispPixmap(HICON icon, qreal deviceRatio);

}  // namespace afx
