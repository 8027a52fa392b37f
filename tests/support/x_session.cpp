#include "tests/support/x_session.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tests/support/process.h"

namespace testsupport {
namespace {

// Windows come and go while a test looks at them: a request about a window that just went
// away is not an error of the test.
int IgnoreXErrors(::Display*, XErrorEvent*) { return 0; }

std::vector<unsigned long> LongProperty(::Display* d, Window w, Atom property, Atom type) {
    std::vector<unsigned long> out;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const long* values = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            out.push_back(static_cast<unsigned long>(values[i]));
    }
    if (data) XFree(data);
    return out;
}

std::string StringProperty(::Display* d, Window w, Atom property, Atom type) {
    std::string out;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 4096, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && format == 8)
        out.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return out;
}

const char* GrabStatusName(int status) {
    switch (status) {
        case GrabSuccess:
            return "GrabSuccess";
        case AlreadyGrabbed:
            return "AlreadyGrabbed";
        case GrabInvalidTime:
            return "GrabInvalidTime";
        case GrabNotViewable:
            return "GrabNotViewable";
        case GrabFrozen:
            return "GrabFrozen";
        default:
            return "unknown";
    }
}

}  // namespace

bool MotifHints::AllowsFunction(unsigned long bit) const {
    if (!present || !(flags & 1)) return true;
    // With MWM_FUNC_ALL the listed functions are the ones taken away.
    return (functions & 1) ? !(functions & bit) : (functions & bit) != 0;
}

bool MotifHints::ShowsDecoration(unsigned long bit) const {
    if (!present || !(flags & 2)) return true;
    return (decorations & 1) ? !(decorations & bit) : (decorations & bit) != 0;
}

XSession::~XSession() { Stop(); }

bool XSession::StartServer(const std::string& geometry, std::string* error) {
    XSetErrorHandler(IgnoreXErrors);
    int fds[2];
    if (pipe(fds) != 0) {
        *error = "pipe failed";
        return false;
    }
    Command xvfb;
    xvfb.argv = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                 "-screen",   "0",          geometry,
                 "-nolisten", "tcp",        "-noreset"};
    xvfb.keepFds = {fds[1]};
    server_ = Spawn(xvfb);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        *error = "Xvfb did not report a display";
        return false;
    }
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) {
        *error = "cannot connect to " + name_;
        return false;
    }
    int event = 0, errorBase = 0, major = 2, minor = 2;
    if (!XTestQueryExtension(display_, &event, &errorBase, &major, &minor)) {
        *error = "the X server has no XTest";
        return false;
    }
    return true;
}

bool XSession::StartWindowManager(const std::string& configFile,
                                  const std::vector<std::string>& env, std::string* error) {
    return StartWindowManager({"openbox", "--config-file", configFile}, env, error);
}

bool XSession::StartWindowManager(const std::vector<std::string>& argv,
                                  const std::vector<std::string>& env, std::string* error) {
    Command wm;
    wm.argv = argv;
    wm.env = env;
    wm.env.push_back("DISPLAY=" + name_);
    windowManager_ = Spawn(wm);
    const bool managing = WaitForWindowManager(10000, windowManager_);
    if (!managing) *error = "the window manager did not claim the screen";
    return managing;
}

bool XSession::Attach(const std::string& displayName, const std::string& authority,
                      std::string* error) {
    XSetErrorHandler(IgnoreXErrors);
    if (!authority.empty()) setenv("XAUTHORITY", authority.c_str(), 1);
    display_ = XOpenDisplay(displayName.c_str());
    if (!authority.empty()) unsetenv("XAUTHORITY");
    if (!display_) {
        *error = "cannot connect to " + displayName;
        return false;
    }
    name_ = displayName;
    if (!WaitForWindowManager(10000, -1)) {
        *error = "no window manager claimed the screen of " + displayName;
        return false;
    }
    return true;
}

bool XSession::WaitForWindowManager(int timeoutMs, pid_t windowManager) {
    const unsigned long check = Intern("_NET_SUPPORTING_WM_CHECK");
    return WaitUntil(timeoutMs, [&] {
        if (windowManager > 0 && !Running(windowManager)) return false;
        const auto root = LongProperty(display_, Root(), check, XA_WINDOW);
        if (root.empty()) return false;
        const auto self = LongProperty(display_, root[0], check, XA_WINDOW);
        return !self.empty() && self[0] == root[0];
    });
}

void XSession::Stop() {
    testsupport::Stop(windowManager_);
    windowManager_ = -1;
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    testsupport::Stop(server_);
    server_ = -1;
}

XWindow XSession::Root() const { return DefaultRootWindow(display_); }
int XSession::ScreenWidth() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XSession::ScreenHeight() const { return DisplayHeight(display_, DefaultScreen(display_)); }

void XSession::Sync() const { XSync(display_, False); }

// ---- what the screen shows

Image XSession::Shot() const { return Shot(Rect{0, 0, ScreenWidth(), ScreenHeight()}); }

Image XSession::Shot(const Rect& wanted) const {
    const int x0 = std::max(0, wanted.x), y0 = std::max(0, wanted.y);
    const int x1 = std::min(ScreenWidth(), wanted.Right());
    const int y1 = std::min(ScreenHeight(), wanted.Bottom());
    const Rect area{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
    return Grab(Root(), Rect{x0, y0, area.w, area.h}, area);
}

Image XSession::WindowShot(XWindow w) const {
    const Rect g = Geometry(w);
    return Grab(w, Rect{0, 0, g.w, g.h}, g);
}

Image XSession::Grab(XWindow drawable, const Rect& part, const Rect& area) const {
    Image img;
    img.area = area;
    if (img.area.Empty()) return img;
    XImage* xi = XGetImage(display_, drawable, part.x, part.y, unsigned(part.w), unsigned(part.h),
                           AllPlanes, ZPixmap);
    img.px.assign(size_t(img.area.w) * size_t(img.area.h), 0);
    if (!xi) return img;
    for (int y = 0; y < img.area.h; ++y) {
        for (int x = 0; x < img.area.w; ++x) {
            uint32_t c;
            if (xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst)
                std::memcpy(&c, xi->data + y * xi->bytes_per_line + 4 * x, 4);
            else
                c = uint32_t(XGetPixel(xi, x, y));
            img.px[size_t(y) * size_t(img.area.w) + size_t(x)] = c & 0xFFFFFF;
        }
    }
    XDestroyImage(xi);
    return img;
}

// ---- windows

unsigned long XSession::Intern(const char* name) const {
    return XInternAtom(display_, name, False);
}

std::string XSession::AtomName(unsigned long atom) const {
    char* name = XGetAtomName(display_, atom);
    std::string out = name ? name : "";
    if (name) XFree(name);
    return out;
}

std::vector<XWindow> XSession::ClientList() const {
    return LongProperty(display_, Root(), Intern("_NET_CLIENT_LIST"), XA_WINDOW);
}

std::vector<XWindow> XSession::StackingOrder() const {
    return LongProperty(display_, Root(), Intern("_NET_CLIENT_LIST_STACKING"), XA_WINDOW);
}

std::string XSession::Title(XWindow w) const {
    std::string t = StringProperty(display_, w, Intern("_NET_WM_NAME"), Intern("UTF8_STRING"));
    if (t.empty()) t = StringProperty(display_, w, XA_WM_NAME, AnyPropertyType);
    return t;
}

XWindow XSession::FindClient(const std::string& title, bool contains) const {
    for (XWindow w : ClientList()) {
        const std::string t = Title(w);
        if (contains ? t.find(title) != std::string::npos : t == title) {
            if (Viewable(w)) return w;
        }
    }
    return 0;
}

XWindow XSession::WaitForClient(const std::string& title, int timeoutMs, bool contains) const {
    XWindow found = 0;
    WaitUntil(timeoutMs, [&] { return (found = FindClient(title, contains)) != 0; });
    return found;
}

bool XSession::IsManaged(XWindow w) const {
    const auto list = ClientList();
    return std::find(list.begin(), list.end(), w) != list.end();
}

bool XSession::Viewable(XWindow w) const {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, w, &a)) return false;
    return a.map_state == IsViewable;
}

bool XSession::Exists(XWindow w) const {
    XWindowAttributes a;
    return XGetWindowAttributes(display_, w, &a) != 0;
}

bool XSession::WaitGone(XWindow w, int timeoutMs) const {
    return WaitUntil(timeoutMs, [&] { return !IsManaged(w) || !Viewable(w); });
}

XWindow XSession::ActiveWindow() const {
    const auto v = LongProperty(display_, Root(), Intern("_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return v.empty() ? 0 : v[0];
}

XWindow XSession::FocusWindow() const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus;
}

Rect XSession::Geometry(XWindow w) const {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, w, &a)) return Rect{};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, w, Root(), 0, 0, &x, &y, &child);
    return Rect{x, y, a.width, a.height};
}

FrameExtents XSession::Extents(XWindow w) const {
    const auto v = LongProperty(display_, w, Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL);
    FrameExtents e;
    if (v.size() == 4) e = FrameExtents{int(v[0]), int(v[1]), int(v[2]), int(v[3])};
    return e;
}

Rect XSession::FrameRect(XWindow w) const {
    const Rect g = Geometry(w);
    const FrameExtents e = Extents(w);
    return Rect{g.x - e.left, g.y - e.top, g.w + e.left + e.right, g.h + e.top + e.bottom};
}

XWindow XSession::TransientFor(XWindow w) const {
    Window owner = 0;
    if (!XGetTransientForHint(display_, w, &owner)) return 0;
    return owner;
}

std::vector<std::string> XSession::AtomList(XWindow w, const char* property) const {
    std::vector<std::string> names;
    for (unsigned long a : LongProperty(display_, w, Intern(property), XA_ATOM))
        names.push_back(AtomName(a));
    return names;
}

MotifHints XSession::Motif(XWindow w) const {
    const unsigned long atom = Intern("_MOTIF_WM_HINTS");
    const auto v = LongProperty(display_, w, atom, atom);
    MotifHints h;
    if (v.size() >= 3) {
        h.present = true;
        h.flags = v[0];
        h.functions = v[1];
        h.decorations = v[2];
    }
    return h;
}

int XSession::WmState(XWindow w) const {
    const unsigned long atom = Intern("WM_STATE");
    const auto v = LongProperty(display_, w, atom, atom);
    return v.empty() ? -1 : int(v[0]);
}

void XSession::RequestNetWmState(XWindow w, long action, const char* first, const char* second) {
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = Intern("_NET_WM_STATE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = action;
    e.xclient.data.l[1] = long(Intern(first));
    e.xclient.data.l[2] = second ? long(Intern(second)) : 0;
    e.xclient.data.l[3] = 2;  // a pager or other tool asks
    XSendEvent(display_, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    Sync();
}

std::vector<XWindow> XSession::Popups() const {
    std::vector<XWindow> out;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, Root(), &rootReturn, &parent, &children, &count)) return out;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, children[i], &a) && a.override_redirect &&
            a.map_state == IsViewable)
            out.push_back(children[i]);
    }
    if (children) XFree(children);
    return out;
}

XWindow XSession::WaitForNewPopup(const std::vector<XWindow>& before, int timeoutMs) const {
    XWindow found = 0;
    WaitUntil(timeoutMs, [&] {
        for (XWindow w : Popups()) {
            if (std::find(before.begin(), before.end(), w) == before.end()) {
                found = w;
                return true;
            }
        }
        return false;
    });
    return found;
}

// ---- real input

unsigned XSession::KeyCodeOf(const std::string& name, bool* shifted) const {
    const KeySym sym = XStringToKeysym(name.c_str());
    *shifted = false;
    if (sym == NoSymbol) return 0;
    const KeyCode code = XKeysymToKeycode(display_, sym);
    if (code && XkbKeycodeToKeysym(display_, code, 0, 0) != sym &&
        XkbKeycodeToKeysym(display_, code, 0, 1) == sym)
        *shifted = true;
    return code;
}

void XSession::KeyDown(const std::string& keysym) {
    bool shifted = false;
    const unsigned code = KeyCodeOf(keysym, &shifted);
    if (code) XTestFakeKeyEvent(display_, code, True, CurrentTime);
    Sync();
}

void XSession::KeyUp(const std::string& keysym) {
    bool shifted = false;
    const unsigned code = KeyCodeOf(keysym, &shifted);
    if (code) XTestFakeKeyEvent(display_, code, False, CurrentTime);
    Sync();
}

void XSession::Key(const std::string& keysym, const std::vector<std::string>& modifiers) {
    bool shifted = false;
    const unsigned code = KeyCodeOf(keysym, &shifted);
    if (!code) return;
    std::vector<std::string> mods = modifiers;
    if (shifted && std::find(mods.begin(), mods.end(), "Shift_L") == mods.end())
        mods.push_back("Shift_L");
    for (const std::string& m : mods) KeyDown(m);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    Sync();
    for (auto it = mods.rbegin(); it != mods.rend(); ++it) KeyUp(*it);
}

void XSession::Type(const std::string& ascii) {
    for (char c : ascii) {
        char name[2] = {c, 0};
        std::string keysym = name;
        if (c == ' ') keysym = "space";
        Key(keysym);
        SleepMs(15);
    }
}

void XSession::Move(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    Sync();
}

void XSession::ButtonDown(int button) {
    XTestFakeButtonEvent(display_, unsigned(button), True, CurrentTime);
    Sync();
}

void XSession::ButtonUp(int button) {
    XTestFakeButtonEvent(display_, unsigned(button), False, CurrentTime);
    Sync();
}

void XSession::Click(int x, int y, int button) {
    Move(x, y);
    SleepMs(30);
    ButtonDown(button);
    SleepMs(30);
    ButtonUp(button);
}

void XSession::Drag(int x0, int y0, int x1, int y1) {
    Move(x0, y0);
    SleepMs(50);
    ButtonDown(1);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        SleepMs(20);
        Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    SleepMs(50);
    ButtonUp(1);
}

// ---- other clients

bool XSession::CanGrabPointer(std::string* status) const {
    const int r = XGrabPointer(display_, Root(), False, ButtonPressMask | PointerMotionMask,
                               GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime);
    if (r == GrabSuccess) XUngrabPointer(display_, CurrentTime);
    Sync();
    if (status) *status = GrabStatusName(r);
    return r == GrabSuccess;
}

bool XSession::CanGrabKeyboard(std::string* status) const {
    const int r = XGrabKeyboard(display_, Root(), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (r == GrabSuccess) XUngrabKeyboard(display_, CurrentTime);
    Sync();
    if (status) *status = GrabStatusName(r);
    return r == GrabSuccess;
}

CursorImage XSession::Cursor() const {
    CursorImage out;
    XFixesCursorImage* img = XFixesGetCursorImage(display_);
    if (!img) return out;
    out.width = img->width;
    out.height = img->height;
    out.xhot = img->xhot;
    out.yhot = img->yhot;
    for (int i = 0; i < img->width * img->height; ++i) out.argb.push_back(uint32_t(img->pixels[i]));
    XFree(img);
    return out;
}

bool XSession::WatchBell() {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display_, &opcode, &event, &error, &major, &minor)) return false;
    xkbEventBase_ = event;
    bells_ = 0;
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    Sync();
    return true;
}

int XSession::BellsRung() {
    Sync();
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (xkbEventBase_ >= 0 && e.type == xkbEventBase_ &&
            reinterpret_cast<XkbAnyEvent*>(&e)->xkb_type == XkbBellNotify)
            ++bells_;
    }
    return bells_;
}

}  // namespace testsupport
