// Resources held as data: dialog templates, menu templates and the string table, and the
// registry in which the program registers them at start-up so that CDialog(102),
// CMenu::LoadMenu(135) and CString::LoadString(101) find them.
//
// Dialog geometry is in dialog units of the template's font. The dialogs use 宋体 9 (shown
// with AR PL UMing), whose base units are 6 x 12 pixels: one horizontal unit is 1.5 pixels
// (x * 6 / 4) and one vertical unit is 1.5 pixels (y * 12 / 8), each value rounded to the
// nearest pixel (halves away from zero) on its own: x, y, width and height separately.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/afx/styles.h"

namespace afx {

enum class ControlKind {
    Static,    // text label (SS_LEFT, SS_CENTER, SS_RIGHT, SS_CENTERIMAGE, SS_NOTIFY)
    Icon,      // static showing icon resource `resourceId`
    Button,    // push button; BS_DEFPUSHBUTTON in style makes it the default button
    Edit,      // single-line edit (ES_AUTOHSCROLL)
    ComboBox,  // CBS_DROPDOWNLIST; `items` are its initial strings, in order
    ListView,  // report-style list view (LVS_REPORT)
};

struct ControlTemplate {
    int id = -1;  // IDC_STATIC (-1) for labels nobody addresses
    ControlKind kind = ControlKind::Static;
    std::string text;  // UTF-8; for buttons and labels '&' marks the mnemonic
    // WS_VISIBLE must be present for the control to be shown (a hidden button omits it);
    // WS_TABSTOP, WS_BORDER, WS_VSCROLL and the kind's own styles as on Windows.
    uint32_t style = WS_CHILD | WS_VISIBLE;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int resourceId = 0;                // Icon: the icon resource
    std::vector<std::string> items;    // ComboBox: the initialisation data
};

// Whether the control is its dialog's default push button (BS_DEFPUSHBUTTON).
inline bool IsDefaultButton(const ControlTemplate& c) {
    return c.kind == ControlKind::Button && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// One control line of a dialog template: id, kind, text, style, then x, y, width and height
// in dialog units. `text` is UTF-8.
inline ControlTemplate MakeControl(int id, ControlKind kind, const char* text, uint32_t style,
                                   int x, int y, int cx, int cy) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.style = style;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    return c;
}

struct DialogTemplate {
    int id = 0;
    std::string caption;  // UTF-8
    // WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, DS_MODALFRAME, DS_CENTER, WS_VISIBLE ...
    uint32_t style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    uint32_t exStyle = 0;  // WS_EX_APPWINDOW: own taskbar button
    int cx = 0, cy = 0;    // client size in dialog units
    std::string fontName = "宋体";
    int pointSize = 9;
    int menuId = 0;  // menu template shown as the window's menu bar, 0 for none
    std::vector<ControlTemplate> controls;
};

// Menu items: a popup has `items`; a separator has MF_SEPARATOR in `flags`.
// Flags may carry MF_GRAYED and MF_CHECKED as the initial state. The text may hold '&'
// (mnemonic) and "\t" followed by the key hint shown at the right of the item.
struct MenuItemTemplate {
    unsigned id = 0;
    std::string text;
    unsigned flags = 0;
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItemTemplate> items;  // the bar: normally popups
};

// Registration copies the data; a later registration of the same id replaces the earlier.
void RegisterDialogTemplate(const DialogTemplate& t);
void RegisterMenuTemplate(const MenuTemplate& t);
void RegisterString(unsigned id, const std::string& text);

// nullptr / false when absent.
const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate* FindMenuTemplate(int id);
bool FindString(unsigned id, std::string* text);

// Dialog units of the 宋体 9 template font to pixels (rounded, halves away from zero).
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);
// A control's rectangle in client pixels.
struct PixelRect {
    int x, y, cx, cy;
};
PixelRect ControlPixelRect(const ControlTemplate& c);

}  // namespace afx
