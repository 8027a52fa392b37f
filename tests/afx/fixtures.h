// Templates and helpers shared by the window framework tests.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/afx/automation.h"
#include "platform/afx/templates.h"
#include "tests/support/idle_script.h"
#include "tests/support/trace_log.h"

namespace afxtest {

constexpr int kMainDialog = 9102;
constexpr int kMainMenu = 9135;
constexpr int kRankDialog = 9156;
constexpr int kRecordDialog = 9158;

inline afx::ControlTemplate Control(int id, afx::ControlKind kind, const char* text, uint32_t style,
                                    int x, int y, int cx, int cy) {
    return afx::MakeControl(id, kind, text, WS_CHILD | style, x, y, cx, cy);
}

inline afx::MenuItemTemplate Item(unsigned id, const char* text, unsigned flags = 0) {
    afx::MenuItemTemplate i;
    i.id = id;
    i.text = text;
    i.flags = flags;
    return i;
}

inline afx::MenuItemTemplate Popup(const char* text, std::vector<afx::MenuItemTemplate> items) {
    afx::MenuItemTemplate p;
    p.text = text;
    p.flags = MF_POPUP;
    p.items = std::move(items);
    return p;
}

inline void RegisterTemplates() {
    afx::MenuTemplate menu;
    menu.id = kMainMenu;
    menu.items = {Popup("游戏(&G)", {Item(32772, "初级(&E)\tF1"), Item(0, "", MF_SEPARATOR),
                                     Item(32775, "放弃(&Q)\tF8"), Item(32776, "退出(&x)")}),
                  Popup("选项(&S)", {Item(32785, "海洋世界(&1)"), Item(32786, "花鸟鱼虫(&2)"),
                                     Item(32788, "暂停(&P)\tF11")})};
    afx::RegisterMenuTemplate(menu);

    afx::DialogTemplate main;
    main.id = kMainDialog;
    main.caption = "Main 4.0";
    main.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE;
    main.cx = 320;
    main.cy = 200;
    main.menuId = kMainMenu;
    main.controls = {
        Control(IDOK, afx::ControlKind::Button, "确定", BS_DEFPUSHBUTTON, 0, 0, 50, 14),
        Control(IDCANCEL, afx::ControlKind::Button, "取消", BS_PUSHBUTTON, 60, 0, 50, 14)};
    afx::RegisterDialogTemplate(main);

    afx::DialogTemplate rank;
    rank.id = kRankDialog;
    rank.caption = "排行榜";
    rank.cx = 187;
    rank.cy = 115;
    rank.controls = {
        Control(1000, afx::ControlKind::ListView, "",
                WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT, 7, 5, 122, 103),
        Control(1001, afx::ControlKind::ComboBox, "", WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                132, 16, 48, 55),
        Control(IDC_STATIC, afx::ControlKind::Static, "难度", WS_VISIBLE, 132, 7, 17, 8),
        Control(1002, afx::ControlKind::Button, "清除记录", WS_VISIBLE, 138, 42, 42, 14),
        Control(IDOK, afx::ControlKind::Button, "关闭", WS_VISIBLE | BS_DEFPUSHBUTTON, 144, 94, 30,
                14),
        Control(IDCANCEL, afx::ControlKind::Button, "Cancel", 0, 138, 94, 42, 14)};
    rank.controls[1].items = {"初级", "中级", "高级", "特高"};
    afx::RegisterDialogTemplate(rank);

    afx::DialogTemplate record;
    record.id = kRecordDialog;
    record.caption = "记录积分";
    record.cx = 187;
    record.cy = 100;
    record.controls = {
        Control(1005, afx::ControlKind::Static, "", WS_VISIBLE | SS_NOTIFY, 7, 7, 173, 8),
        Control(1003, afx::ControlKind::Edit, "", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 64, 36,
                80, 14),
        Control(IDOK, afx::ControlKind::Button, "记录", WS_VISIBLE | BS_DEFPUSHBUTTON, 35, 72, 50,
                14),
        Control(IDCANCEL, afx::ControlKind::Button, "不记录", WS_VISIBLE, 107, 72, 50, 14)};
    afx::RegisterDialogTemplate(record);
}

using testsupport::Script;
using testsupport::TraceLog;

}  // namespace afxtest
