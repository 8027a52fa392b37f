// Test support: a private X desktop for tests of the real program. An XSession starts an Xvfb
// server (its display number through -displayfd) and, when asked, a window manager with a
// configuration of the test's own, waiting until it manages the screen. It then lets a test see
// what a player sees (screenshots, top-level windows by title, their properties and geometry in
// root coordinates, the pointer's cursor, the bell) and act as a player does, through real X
// input (XTest: keys by keysym, typed text, pointer motion, clicks).
//
// Xlib is kept out of this header: its macros (None, Bool, Status) clash with the test
// framework. Window ids are plain X ids.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/x_image.h"

struct _XDisplay;

namespace testsupport {

using XWindow = unsigned long;

struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// _MOTIF_WM_HINTS: which functions and decorations the window asks for. A field whose flag is
// not set leaves everything to the window manager (everything allowed).
struct MotifHints {
    bool present = false;
    unsigned long flags = 0, functions = 0, decorations = 0;
    bool AllowsFunction(unsigned long bit) const;   // MWM_FUNC_*
    bool ShowsDecoration(unsigned long bit) const;  // MWM_DECOR_*
};
constexpr unsigned long kMwmFuncResize = 1ul << 1, kMwmFuncMove = 1ul << 2,
                        kMwmFuncMinimize = 1ul << 3, kMwmFuncMaximize = 1ul << 4,
                        kMwmFuncClose = 1ul << 5;
constexpr unsigned long kMwmDecorMinimize = 1ul << 5, kMwmDecorMaximize = 1ul << 6;

// The pointer's cursor as XFixes reports it.
struct CursorImage {
    int width = 0, height = 0, xhot = 0, yhot = 0;
    std::vector<uint32_t> argb;
    bool operator==(const CursorImage& o) const {
        return width == o.width && height == o.height && xhot == o.xhot && yhot == o.yhot &&
               argb == o.argb;
    }
    bool operator!=(const CursorImage& o) const { return !(*this == o); }
};

class XSession {
  public:
    XSession() = default;
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    ~XSession();

    // Starts Xvfb with one screen of `geometry` ("1024x768x24") and connects to it. False with
    // a reason in `error`.
    bool StartServer(const std::string& geometry, std::string* error);
    // Starts the window manager (openbox) with `configFile` and the extra environment `env`,
    // and waits until it has claimed the screen (_NET_SUPPORTING_WM_CHECK on the root).
    bool StartWindowManager(const std::string& configFile, const std::vector<std::string>& env,
                            std::string* error);
    // The same with another window manager: its command line `argv`.
    bool StartWindowManager(const std::vector<std::string>& argv,
                            const std::vector<std::string>& env, std::string* error);
    // Connects to a server that another program runs (the X server of a Wayland compositor),
    // with the cookie in `authority` when not empty, and waits until a window manager claims
    // its screen. Stop() then only disconnects.
    bool Attach(const std::string& displayName, const std::string& authority, std::string* error);
    // Ends the window manager and the server (also done on destruction).
    void Stop();

    _XDisplay* Display() const { return display_; }
    const std::string& DisplayName() const { return name_; }  // ":N"
    XWindow Root() const;
    int ScreenWidth() const;
    int ScreenHeight() const;

    // ---- what the screen shows
    Image Shot() const;
    Image Shot(const Rect& r) const;  // clipped to the screen
    // What window `w` itself holds (its area: its rectangle in root coordinates), as the X
    // server keeps it, whether or not the screen shows it there.
    Image WindowShot(XWindow w) const;

    // ---- windows
    unsigned long Intern(const char* name) const;
    std::string AtomName(unsigned long atom) const;
    std::vector<XWindow> ClientList() const;     // _NET_CLIENT_LIST
    std::vector<XWindow> StackingOrder() const;  // _NET_CLIENT_LIST_STACKING, bottom first
    std::string Title(XWindow w) const;          // _NET_WM_NAME (UTF-8), else WM_NAME
    // The first managed window whose title is `title` (or contains it): 0 when none.
    XWindow FindClient(const std::string& title, bool contains = false) const;
    XWindow WaitForClient(const std::string& title, int timeoutMs, bool contains = false) const;
    // True once `w` is no longer a managed, mapped window.
    bool WaitGone(XWindow w, int timeoutMs) const;
    bool IsManaged(XWindow w) const;
    bool Viewable(XWindow w) const;
    bool Exists(XWindow w) const;  // the X window has not been destroyed
    XWindow ActiveWindow() const;  // _NET_ACTIVE_WINDOW
    XWindow FocusWindow() const;   // the X input focus

    Rect Geometry(XWindow w) const;  // the window itself, in root coordinates
    FrameExtents Extents(XWindow w) const;
    Rect FrameRect(XWindow w) const;  // with the window manager's decorations

    XWindow TransientFor(XWindow w) const;  // 0 when not set
    // An ATOM[] property as names (_NET_WM_WINDOW_TYPE, _NET_WM_STATE, _NET_WM_ALLOWED_ACTIONS).
    std::vector<std::string> AtomList(XWindow w, const char* property) const;
    MotifHints Motif(XWindow w) const;
    int WmState(XWindow w) const;  // WM_STATE: 1 normal, 3 iconic, 0 withdrawn, -1 none
    // Asks the window manager, as a pager would, to change _NET_WM_STATE (action 1 = add).
    void RequestNetWmState(XWindow w, long action, const char* first, const char* second);

    // Mapped override-redirect windows on the root (menus, pop-up lists, tooltips), bottom
    // first.
    std::vector<XWindow> Popups() const;
    // Waits for a mapped override-redirect window not in `before`; 0 on time-out.
    XWindow WaitForNewPopup(const std::vector<XWindow>& before, int timeoutMs) const;

    // ---- real input
    void Key(const std::string& keysym, const std::vector<std::string>& modifiers = {});
    void KeyDown(const std::string& keysym);
    void KeyUp(const std::string& keysym);
    void Type(const std::string& ascii);  // letters, digits and spaces
    void Move(int x, int y);
    void ButtonDown(int button = 1);
    void ButtonUp(int button = 1);
    void Click(int x, int y, int button = 1);
    // Presses at (x0, y0), moves in steps to (x1, y1), releases.
    void Drag(int x0, int y0, int x1, int y1);

    // ---- what other clients may do
    // Grabs the pointer / keyboard as another client would and lets it go again. True when the
    // grab succeeded; otherwise `status` names the X answer.
    bool CanGrabPointer(std::string* status = nullptr) const;
    bool CanGrabKeyboard(std::string* status = nullptr) const;

    CursorImage Cursor() const;

    // Starts counting XKB bell notifications; BellsRung() reads the events so far.
    bool WatchBell();
    int BellsRung();

  private:
    bool WaitForWindowManager(int timeoutMs, pid_t windowManager);
    // The pixels of `part` of `drawable`, as an Image of `area`.
    Image Grab(XWindow drawable, const Rect& part, const Rect& area) const;
    unsigned KeyCodeOf(const std::string& keysym, bool* shifted) const;
    void Sync() const;

    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    _XDisplay* display_ = nullptr;
    std::string name_;
    int xkbEventBase_ = -1;
    int bells_ = 0;
};

}  // namespace testsupport
