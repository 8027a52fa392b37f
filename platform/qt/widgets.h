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

#include "platform/qt/backend.h"

class QAction;
class QMenuBar;

namespace afx {

class ControlView;
class FrameWidget;
class ClientWidget;

// The Qt side of a window: a top-level window's frame, client area and menu bar, or a
// control's widget.
class QtWindow final : public NativeWindow {
  public:
    explicit QtWindow(WindowSink* s);
    ~QtWindow() override;  // hides the widgets and lets Qt delete them

    WindowSink* sink;
    FrameWidget* frame = nullptr;
    ClientWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
    int menuBarHeight = 0;
    std::vector<QAction*> menuActions;  // the menu bar's commands, in the menu's order
    std::unique_ptr<ControlView> control;
    const ControlState* state = nullptr;
    std::shared_ptr<gdi::Surface> surface;
    bool minimiseBox = false;
    bool maximiseBox = false;
    int ownHeight = 0;
    bool syncing = false;  // mirroring state into widgets; ignore their signals

    // The control's widget (nullptr for a top-level window and after destruction).
    QWidget* Widget() const;

    void PlaceFrame(int x, int y, int clientWidth, int clientHeight) override;
    void PlaceControl(const RECT& rect) override;
    int OwnHeight() const override { return ownHeight; }
    void SetTitle(const std::string& title) override;
    void SyncText() override;
    void SyncState() override;
    void Show(bool visible, bool enabled) override;
    void ShowIconic(bool on, bool visible) override;
    void ShowIcon(HICON icon) override;
    void SetModal(bool modal) override;
    void HideNow() override;
    void TakeFocus() override;
    void Activate(NativeWindow* focusControl) override;
    void SetFont(CFont* font) override;
    void SetToolTip(const std::string& text) override;
    ColourRole Colours() const override;
    void ShowColours(COLORREF textColour, bool hollow, COLORREF fill) override;
    void EnsureMenuBar() override;
    bool HasMenuBar() const override { return menuBar != nullptr; }
    void ShowMenuBar(const std::vector<MenuEntry>& items, bool structure) override;
    bool MenuBarItemShown(unsigned id, bool* enabled, bool* checked,
                          std::string* text) const override;
    void OpenSystemMenu(const std::vector<MenuEntry>& items) override;
    void ShowMessageIcon(MessageIcon icon, int size) override;
    bool SendKey(unsigned vk, bool down) override;
    bool PointerInClient(POINT* clientPoint, unsigned* held) const override;
};

// The property of a control's widget that holds its QtWindow.
inline constexpr char kWindowProperty[] = "afxWindow";
// The live window whose control `widget` is, or nullptr.
QtWindow* WindowOfWidget(const QObject* widget);
// The framework, told what happened on the desktop.
EventSink* Events();

// The top-level window: menu bar (when the window has a menu) above the client widget.
class FrameWidget : public QWidget {
  public:
    // `owner`: the frame of the window this one belongs to (a dialog), or nullptr.
    FrameWidget(QtWindow* window, QWidget* owner);
    ~FrameWidget() override;
    QtWindow* window;            // nullptr once the window is gone
    bool applyingState = false;  // the framework itself is minimising or restoring
    // When the framework last minimised or restored the window itself: the window system
    // echoes such changes, sometimes late, and those echoes are not the user's doing.
    std::chrono::steady_clock::time_point lastOwnStateChange{};

    // Every frame that exists.
    static const std::vector<FrameWidget*>& All();

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

// The client area: presents the window surface, turns mouse events into the window's calls.
class ClientWidget : public QWidget {
  public:
    ClientWidget(QtWindow* window, QWidget* parent);
    QtWindow* window;  // nullptr once the window is gone

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

// The application's style and fonts (called once, when the windowing system starts).
void ApplyDesktopLook();
// The Qt font of the dialogs (宋体 9 shown with AR PL UMing, 12 pixels).
QFont DialogFont();
QFont FontFromCFont(CFont* font);
QPixmap PixmapFromIcon(HICON icon);
// The icon's pixels for a screen with `deviceRatio` device pixels to a logical pixel: each
// icon pixel a block of whole device pixels, never a smoothed blend.
QPixmap CrispPixmap(HICON icon, qreal deviceRatio);

}  // namespace afx
