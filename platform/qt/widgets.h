// Qt widgets of the framework's windows. Private to platform_afx.
#pragma once

#include <QEvent>
#include <QWidget>
#include <chrono>

#include "platform/qt/backend.h"

namespace afx {

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

}  // namespace afx
