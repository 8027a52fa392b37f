// A window's menu bar: the items of its menu shown as Qt actions, rebuilt when the menu's
// structure changes and updated in place when only states change.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <functional>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

void ApplyState(QAction* action, const MenuEntry& item) {
    action->setEnabled(item.enabled);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
}

// The command entries in the order the menu bar shows them.
void CollectCommands(const std::vector<MenuEntry>& items, bool topLevel,
                     std::vector<const MenuEntry*>* out) {
    for (const MenuEntry& item : items) {
        if (topLevel ? item.popup : !item.separator && item.popup)
            CollectCommands(item.items, false, out);
        else if (!item.separator)
            out->push_back(&item);
    }
}

}  // namespace

void QtWindow::EnsureMenuBar() {
    if (menuBar || !frame) return;
    QMenuBar* bar = new QMenuBar(frame);
    bar->setNativeMenuBar(false);
    bar->setFixedHeight(menuBarHeight);
    bar->show();
    menuBar = bar;
}

void QtWindow::ShowMenuBar(const std::vector<MenuEntry>& items, bool structure) {
    QMenuBar* bar = menuBar;
    if (!bar) return;
    if (!structure && !menuActions.empty()) {
        std::vector<const MenuEntry*> commands;
        CollectCommands(items, true, &commands);
        for (size_t i = 0; i < menuActions.size() && i < commands.size(); ++i)
            ApplyState(menuActions[i], *commands[i]);
        return;
    }
    // Rebuild; the old menus go away once control is back in the event loop.
    for (QAction* a : bar->actions())
        if (a->menu()) a->menu()->deleteLater();
    bar->clear();
    menuActions.clear();
    // A command item tells the window when chosen.
    QPointer<FrameWidget> owner = frame;
    auto addCommand = [this, owner](QWidget* menuWidget, const MenuEntry& item) {
        auto* action = new QAction(Q(item.text), menuWidget);
        menuWidget->addAction(action);
        const unsigned commandId = item.id;
        action->setData(commandId);
        QObject::connect(action, &QAction::triggered, [owner, commandId] {
            if (owner && owner->window) owner->window->sink->Command(commandId, false);
        });
        ApplyState(action, item);
        menuActions.push_back(action);
    };
    std::function<void(QMenu*, const std::vector<MenuEntry>&)> fill =
        [&](QMenu* qmenu, const std::vector<MenuEntry>& entries) {
            for (const MenuEntry& item : entries) {
                if (item.separator)
                    qmenu->addSeparator();
                else if (item.popup)
                    fill(qmenu->addMenu(Q(item.text)), item.items);
                else
                    addCommand(qmenu, item);
            }
        };
    for (const MenuEntry& top : items) {
        if (top.popup)
            fill(bar->addMenu(Q(top.text)), top.items);
        else if (!top.separator)
            addCommand(bar, top);
    }
}

bool QtWindow::MenuBarItemShown(unsigned id, bool* enabled, bool* checked,
                                std::string* text) const {
    for (QAction* action : menuActions) {
        if (action->data().toUInt() != id) continue;
        if (enabled) *enabled = action->isEnabled();
        if (checked) *checked = action->isCheckable() && action->isChecked();
        if (text) *text = action->text().toStdString();
        return true;
    }
    return false;
}

}  // namespace afx
