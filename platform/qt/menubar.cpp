// A window's menu bar: the items of its menu shown as Qt actions, rebuilt when the menu's
// structure changes and updated in place when only states change.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "platform/qt/widgets.h"

namespace afx {

void WindowImpl::EnsureMenuBar() {
    if (native->menuBar || !native->frame) return;
    QMenuBar* bar = new QMenuBar(native->frame);
    bar->setNativeMenuBar(false);
    bar->setFixedHeight(kMenuBarHeight);
    bar->show();
    native->menuBar = bar;
}

void WindowImpl::SyncMenuBar(bool structure) {
    QMenuBar* bar = native->menuBar;
    if (!bar || !menu || !menu->m_hMenu) return;
    MenuData* data = menu->m_hMenu;
    data->onChange = [this](bool s) { SyncMenuBar(s); };
    auto& actions = native->menuActions;
    auto applyFlags = [&actions] {
        for (auto& [item, action] : actions) {
            const bool checked = (item->flags & MF_CHECKED) != 0;
            action->setEnabled(!(item->flags & (MF_GRAYED | MF_DISABLED)));
            action->setCheckable(checked);
            action->setChecked(checked);
        }
    };
    if (!structure && !actions.empty()) {
        applyFlags();
        return;
    }
    // Rebuild; the old menus go away once control is back in the event loop.
    for (QAction* a : bar->actions())
        if (a->menu()) a->menu()->deleteLater();
    bar->clear();
    actions.clear();
    // A command item posts its WM_COMMAND when chosen.
    auto addCommand = [this, &actions](QWidget* menuWidget, MenuItem& item) {
        auto* action = new QAction(Q(item.text), menuWidget);
        menuWidget->addAction(action);
        const UINT commandId = item.id;
        WindowImpl* self = this;
        QObject::connect(action, &QAction::triggered,
                         [self, commandId] { PostWindowMessage(self, WM_COMMAND, commandId, 0); });
        actions.emplace_back(&item, action);
    };
    std::function<void(QMenu*, MenuData*)> fill = [&](QMenu* qmenu, MenuData* m) {
        for (MenuItem& item : m->items) {
            if (item.flags & MF_SEPARATOR)
                qmenu->addSeparator();
            else if (item.sub)
                fill(qmenu->addMenu(Q(item.text)), item.sub.get());
            else
                addCommand(qmenu, item);
        }
    };
    for (MenuItem& top : data->items) {
        if (top.sub)
            fill(bar->addMenu(Q(top.text)), top.sub.get());
        else if (!(top.flags & MF_SEPARATOR))
            addCommand(bar, top);
    }
    applyFlags();
}

bool MenuBarItemShown(WindowImpl* impl, unsigned id, bool* enabled, bool* checked,
                      std::string* text) {
    for (auto& [item, action] : impl->native->menuActions) {
        if (item->id != id) continue;
        if (enabled) *enabled = action->isEnabled();
        if (checked) *checked = action->isCheckable() && action->isChecked();
        if (text) *text = action->text().toStdString();
        return true;
    }
    return false;
}

}  // namespace afx
