#include "game/res/game_resources.h"

#include "game/res/resource_ids.h"

using afx::ControlKind;
using afx::ControlTemplate;
using afx::DialogTemplate;
using afx::MenuItemTemplate;
using afx::MenuTemplate;

namespace {

MenuItemTemplate Item(unsigned id, const char* text) {
    return MenuItemTemplate{id, text, MF_STRING, {}};
}
MenuItemTemplate Separator() { return MenuItemTemplate{0, "", MF_SEPARATOR, {}}; }
MenuItemTemplate Popup(const char* text, std::vector<MenuItemTemplate> items) {
    return MenuItemTemplate{0, text, MF_POPUP, std::move(items)};
}

}  // namespace

MenuTemplate MainMenuTemplate() {
    MenuTemplate menu;
    menu.id = IDR_MENU;
    menu.items = {
        Popup("游戏(&G)",
              {
                  Item(ID_GAME_EASY, "初级(&E)\tF1"),
                  Item(ID_GAME_NORMAL, "中级(&N)\tF2"),
                  Item(ID_GAME_HARD, "高级(&H)\tF3"),
                  Item(ID_GAME_SUPER, "特高(&S)\tF4"),
                  Separator(),
                  Item(ID_GAME_GIVEUP, "放弃(&Q)\tF8"),
                  Separator(),
                  Item(ID_GAME_EXIT, "退出(&x)"),
              }),
        Popup("选项(&S)",
              {
                  Item(ID_OPTION_HINT, "提示(&I)\tF5"),
                  Item(ID_OPTION_RESHUFFLE, "重新洗牌(&R)\tF6"),
                  Item(ID_OPTION_PAUSE, "暂停(&P)\tF11"),
                  Separator(),
                  Item(ID_THEME_SEA, "海洋世界(&1)"),
                  Item(ID_THEME_FLOWERS, "花鸟鱼虫(&2)"),
                  Item(ID_THEME_BEASTS, "飞禽走兽(&3)"),
                  Separator(),
                  Item(ID_OPTION_MUSIC, "音乐开关(&M)"),
                  Item(ID_OPTION_SOUND, "音效开关(&S)"),
                  Separator(),
                  Item(ID_OPTION_RANK, "排行榜(&N)..."),
              }),
        Popup("帮助(&A)",
              {
                  Item(ID_HELP_RULES, "游戏说明(&P)"),
                  Separator(),
                  Item(ID_HELP_ABOUT, "关于(&A)..."),
              }),
    };
    return menu;
}

DialogTemplate MainDialogTemplate() {
    DialogTemplate dlg;
    dlg.id = IDD_KIVRA_DIALOG;
    dlg.caption = "Qarven Vorn 4.0版";
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE;
    dlg.exStyle = WS_EX_APPWINDOW;
    dlg.cx = 320;
    dlg.cy = 200;
    dlg.fontName = "宋体";
    dlg.pointSize = 9;
    dlg.menuId = IDR_MENU;
    // Never shown: they only give Enter (default button, the hide command) and Esc (quit)
    // their meaning.
    ControlTemplate ok;
    ok.id = IDOK;
    ok.kind = ControlKind::Button;
    ok.text = "确定";
    ok.style = WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON;
    ok.x = 263;
    ok.y = 7;
    ok.cx = 50;
    ok.cy = 14;
    ControlTemplate cancel = ok;
    cancel.id = IDCANCEL;
    cancel.text = "取消";
    cancel.style = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
    cancel.y = 24;
    dlg.controls = {ok, cancel};
    return dlg;
}

void RegisterGameResources() {
    afx::RegisterMenuTemplate(MainMenuTemplate());
    afx::RegisterDialogTemplate(MainDialogTemplate());
    afx::RegisterString(IDS_ABOUTBOX, "关于QarvenVorn版(&A)...");
}
