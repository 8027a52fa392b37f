// Menus as data: a tree of items whose changes reach the menu bar that shows them.
#include "platform/afx/window.h"

namespace afx {

void MenuData::Changed(bool structure) {
    MenuData* root = this;
    while (root->parent) root = root->parent;
    if (root->onChange) root->onChange(structure);
}

std::unique_ptr<MenuData> BuildMenu(const std::vector<MenuItemTemplate>& items) {
    auto menu = std::make_unique<MenuData>();
    for (const MenuItemTemplate& t : items) {
        MenuItem item;
        item.id = t.id;
        item.text = t.text;
        item.flags = t.flags;
        if (!t.items.empty() || (t.flags & MF_POPUP)) {
            item.flags |= MF_POPUP;
            item.sub = BuildMenu(t.items);
            item.sub->parent = menu.get();
        }
        menu->items.push_back(std::move(item));
    }
    return menu;
}

}  // namespace afx

namespace {

// The item with command `id` anywhere in the tree, or at position `id` of this menu.
afx::MenuItem* FindItem(afx::MenuData* menu, UINT idOrPos, UINT flags) {
    if (!menu) return nullptr;
    if (flags & MF_BYPOSITION) {
        if (idOrPos >= menu->items.size()) return nullptr;
        return &menu->items[idOrPos];
    }
    for (afx::MenuItem& item : menu->items) {
        if (item.sub) {
            if (afx::MenuItem* found = FindItem(item.sub.get(), idOrPos, flags)) return found;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == idOrPos) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

CMenu::CMenu() = default;

CMenu::~CMenu() {
    if (owned_) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    if (!menu->wrapper) {
        menu->wrapper = std::make_unique<CMenu>();
        menu->wrapper->m_hMenu = menu;
    }
    return menu->wrapper.get();
}

BOOL CMenu::LoadMenu(UINT templateId) {
    const afx::MenuTemplate* t = afx::FindMenuTemplate(static_cast<int>(templateId));
    if (!t) return FALSE;
    if (owned_) DestroyMenu();
    m_hMenu = afx::BuildMenu(t->items).release();
    owned_ = true;
    return TRUE;
}

BOOL CMenu::CreateMenu() {
    if (owned_) DestroyMenu();
    m_hMenu = new afx::MenuData();
    owned_ = true;
    return TRUE;
}

BOOL CMenu::CreatePopupMenu() { return CreateMenu(); }

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    if (owned_) delete m_hMenu;
    m_hMenu = nullptr;
    owned_ = false;
    return TRUE;
}

BOOL CMenu::Attach(HMENU menu) {
    if (owned_) DestroyMenu();
    m_hMenu = menu;
    owned_ = true;
    return menu != nullptr;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    owned_ = false;
    return menu;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const char* text) {
    if (!m_hMenu) return FALSE;
    afx::MenuItem item;
    item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP);
    if (flags & MF_POPUP) {
        // The submenu moves into this menu.
        afx::MenuData* sub = reinterpret_cast<afx::MenuData*>(idNewItem);
        if (!sub) return FALSE;
        item.sub.reset(sub);
        sub->parent = m_hMenu;
    } else {
        item.id = static_cast<UINT>(idNewItem);
    }
    if (text && !(flags & MF_SEPARATOR)) item.text = text;
    m_hMenu->items.push_back(std::move(item));
    m_hMenu->Changed(true);
    return TRUE;
}

UINT CMenu::EnableMenuItem(UINT idOrPos, UINT flags) {
    afx::MenuItem* item = FindItem(m_hMenu, idOrPos, flags);
    if (!item) return 0xFFFFFFFF;
    const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    const UINT next = flags & (MF_GRAYED | MF_DISABLED);
    if (previous != next) {
        item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | next;
        m_hMenu->Changed(false);
    }
    return previous;
}

UINT CMenu::CheckMenuItem(UINT idOrPos, UINT flags) {
    afx::MenuItem* item = FindItem(m_hMenu, idOrPos, flags);
    if (!item) return 0xFFFFFFFF;
    const UINT previous = item->flags & MF_CHECKED;
    const UINT next = flags & MF_CHECKED;
    if (previous != next) {
        item->flags = (item->flags & ~MF_CHECKED) | next;
        m_hMenu->Changed(false);
    }
    return previous;
}

UINT CMenu::GetMenuState(UINT idOrPos, UINT flags) const {
    afx::MenuItem* item = FindItem(m_hMenu, idOrPos, flags);
    if (!item) return 0xFFFFFFFF;
    return item->flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP);
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? static_cast<int>(m_hMenu->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int pos) const {
    if (!m_hMenu || pos < 0 || pos >= GetMenuItemCount()) return 0xFFFFFFFF;
    const afx::MenuItem& item = m_hMenu->items[static_cast<size_t>(pos)];
    if (item.sub) return 0xFFFFFFFF;
    if (item.flags & MF_SEPARATOR) return 0;
    return item.id;
}

CMenu* CMenu::GetSubMenu(int pos) const {
    if (!m_hMenu || pos < 0 || pos >= GetMenuItemCount()) return nullptr;
    return FromHandle(m_hMenu->items[static_cast<size_t>(pos)].sub.get());
}

int CMenu::GetMenuString(UINT idOrPos, CString& text, UINT flags) const {
    afx::MenuItem* item = FindItem(m_hMenu, idOrPos, flags);
    text = item ? item->text.c_str() : "";
    return text.GetLength();
}

BOOL CMenu::RemoveMenu(UINT idOrPos, UINT flags) {
    if (!m_hMenu) return FALSE;
    std::vector<afx::MenuItem>& items = m_hMenu->items;
    for (size_t i = 0; i < items.size(); ++i) {
        bool match =
            (flags & MF_BYPOSITION) ? i == idOrPos : (!items[i].sub && items[i].id == idOrPos);
        if (match) {
            // RemoveMenu keeps the submenu alive: its handle stays valid for its owner.
            if (items[i].sub) (void)items[i].sub.release();
            items.erase(items.begin() + static_cast<long>(i));
            m_hMenu->Changed(true);
            return TRUE;
        }
    }
    return FALSE;
}
