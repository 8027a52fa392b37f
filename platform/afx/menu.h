// Menus: CMenu over a tree of items.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/afx/handles.h"

// ---- menus -------------------------------------------------------------------------------------
// A menu is a list of items (command, text, flags, submenu). Changes to a menu shown as a
// window's menu bar or system menu appear there at once.
class CMenu {
  public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    // A wrapper for a menu owned elsewhere (valid as long as that menu).
    static CMenu* FromHandle(HMENU menu);

    // From a registered menu template (afx::RegisterMenuTemplate).
    BOOL LoadMenu(UINT templateId);
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL Attach(HMENU menu);
    HMENU Detach();

    // flags: MF_STRING, MF_SEPARATOR, MF_POPUP (idNewItem is then an HMENU cast to UINT_PTR),
    // MF_GRAYED, MF_CHECKED.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const char* text = nullptr);
    // flags MF_BYCOMMAND (searching submenus) or MF_BYPOSITION with MF_ENABLED / MF_GRAYED /
    // MF_DISABLED. Returns the previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or
    // 0xFFFFFFFF when there is no such item.
    UINT EnableMenuItem(UINT idOrPos, UINT flags);
    // MF_CHECKED / MF_UNCHECKED; returns the previous state (MF_CHECKED or MF_UNCHECKED) or
    // 0xFFFFFFFF.
    UINT CheckMenuItem(UINT idOrPos, UINT flags);
    // MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP bits, 0xFFFFFFFF when absent.
    UINT GetMenuState(UINT idOrPos, UINT flags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int pos) const;  // 0 for separators, 0xFFFFFFFF for popups
    CMenu* GetSubMenu(int pos) const;
    int GetMenuString(UINT idOrPos, CString& text, UINT flags) const;
    BOOL RemoveMenu(UINT idOrPos, UINT flags);

  private:
    bool owned_ = false;
};
