#include "tools/assetgen/helpfile.h"

#include <cstdio>

#include "game/board/board.h"
#include "game/board/shift.h"
#include "game/control/game_rules.h"
#include "tools/assetgen/formats.h"

namespace assetgen {

namespace {

// A time in milliseconds as seconds with no trailing zeros: 830 gives "0.83".
std::string Seconds(unsigned ms) {
    std::string s = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        char fraction[8];
        std::snprintf(fraction, sizeof fraction, ".%03u", ms % 1000);
        s += fraction;
        while (s.back() == '0') s.pop_back();
    }
    return s;
}

// The difficulties as the game's own table has them: board, hints, reshuffles, the countdown's
// second.
std::string DifficultyTable() {
    std::string s =
        "<table border=\"1\" cellpadding=\"4\">\n"
        "<tr><th>难度</th><th>棋盘</th><th>提示</th><th>生命</th><th>时钟每格</th></tr>\n";
    for (int d = Easy; d <= Super; ++d) {
        const DifficultyInfo& info = GetDifficultyInfo(d);
        s += std::string("<tr><td>") + info.name + "</td>";
        s += "<td>" + std::to_string(info.width) + " × " + std::to_string(info.height) + "</td>";
        s += "<td>" + std::to_string(info.hints) + "</td>";
        s += "<td>" + std::to_string(info.reshuffles) + "</td>";
        s += "<td>" + Seconds(info.tickPeriodMs) + " 秒</td></tr>\n";
    }
    return s + "</table>\n";
}

// What the tiles of a one-phase mode do after a pair is removed; a two-phase mode is told by
// the names of its two phases.
const char* WhatMoves(ShiftMode mode) {
    switch (mode) {
        case ShiftMode::None:
            return "图片不动";
        case ShiftMode::Down:
            return "图片向下落";
        case ShiftMode::Left:
            return "图片向左靠";
        case ShiftMode::ApartUpDown:
            return "上半部向上，下半部向下";
        case ShiftMode::ApartLeftRight:
            return "左半部向左，右半部向右";
        case ShiftMode::TogetherUpDown:
            return "上半部向下，下半部向上";
        case ShiftMode::TogetherLeftRight:
            return "左半部向右，右半部向左";
        case ShiftMode::RowsLeftRight:
            return "上半部各行向左，下半部各行向右";
        case ShiftMode::ColumnsDownUp:
            return "左半部各列向下，右半部各列向上";
        case ShiftMode::Outward:
        case ShiftMode::Inward:
            break;
    }
    return "";
}

// The levels by the number the status panel shows, with their modes from the board's table.
std::string ShiftModeTable() {
    std::string s =
        "<table border=\"1\" cellpadding=\"4\">\n"
        "<tr><th>关</th><th>规则</th><th>消除一对后</th></tr>\n";
    for (int level = 1; level <= kLevelCount; ++level) {
        const ShiftMode mode = ShiftModeOfLevel(level);
        const ShiftModeInfo& info = GetShiftModeInfo(mode);
        const std::string what = info.second == ShiftMode::None
                                     ? WhatMoves(mode)
                                     : std::string(GetShiftModeInfo(info.first).name) + "，再" +
                                           GetShiftModeInfo(info.second).name;
        s += "<tr><td>" + std::to_string(ShownLevelNumber(level)) + "</td><td>" + info.name +
             "</td><td>" + what + "</td></tr>\n";
    }
    return s + "</table>\n";
}

std::string LevelsPage() {
    std::string s =
        "<h1>难度与关卡</h1>\n"
        "<h2>四种难度</h2>\n";
    s += DifficultyTable();
    s += "<h2>十一关与移动规则</h2>\n"
         "<p>一局游戏共有十一关，状态栏显示的关数从 " +
         std::to_string(ShownLevelNumber(1)) + " 到 " +
         std::to_string(ShownLevelNumber(kLevelCount)) + "。每一关有自己的移动规则：</p>\n";
    s += ShiftModeTable();
    s += "<p>每过一关，提示和生命各加一。</p>\n";
    return s;
}

std::string ScoringPage() {
    return "<h1>计分、时间与生命</h1>\n"
           "<h2>分数</h2>\n"
           "<p>每消除一对图片得 " +
           std::to_string(kPairPoints) + " 分，并加回 " + std::to_string(kPairSeconds) +
           " 格时间（时间最多约为 " + std::to_string(kFullTime) +
           " 格）。</p>\n"
           "<p>过关奖励 = 剩余时间 + " +
           std::to_string(kBonusPerHint) + " × 剩余提示 + " + std::to_string(kBonusPerReshuffle) +
           " × 剩余生命。</p>\n"
           "<h2>时间</h2>\n"
           "<p>每关开始时有 " +
           std::to_string(kFullTime) + " 格时间，时钟按难度每 " +
           Seconds(GetDifficultyInfo(Easy).tickPeriodMs) + " 到 " +
           Seconds(GetDifficultyInfo(Super).tickPeriodMs) +
           " 秒走一格。时间用完游戏就结束，"
           "时间用完时还会得到 " +
           std::to_string(kTimeUpBonus) +
           " 分。暂停（F11）和隐藏窗口时时钟停止。</p>\n"
           "<h2>生命</h2>\n"
           "<p>生命就是重新洗牌的次数。按 F6 可以主动洗牌；如果消除后棋盘上再也没有能消除的一对，"
           "游戏会自动洗牌并用掉一条生命。没有生命时遇到死局，游戏结束。</p>\n"
           "<h2>提示</h2>\n"
           "<p>按 F5 会把一对可以消除的图片标成青色，用掉一次提示。</p>\n";
}

}  // namespace

const std::vector<HelpPage>& HelpPages() {
    static const std::vector<HelpPage> pages = {
        {"index.htm", "Qarven Vorn 游戏说明",
         "<h1>Qarven Vorn 4.0版 游戏说明</h1>\n"
         "<p>欢迎来到 Qarven Vorn！这是一个轻松的配对消除游戏：在棋盘上找出两张相同的图片，"
         "只要能用一条不超过两个拐弯的线把它们连起来，它们就会一起消失。把整个棋盘清空就过关了。</"
         "p>\n"
         "<h2>目录</h2>\n<ul>\n"
         "<li><a href=\"rules.htm\">游戏规则</a></li>\n"
         "<li><a href=\"keys.htm\">操作与快捷键</a></li>\n"
         "<li><a href=\"keyboard.htm\">只用键盘玩游戏</a></li>\n"
         "<li><a href=\"levels.htm\">难度与关卡</a></li>\n"
         "<li><a href=\"scoring.htm\">计分、时间与生命</a></li>\n"
         "<li><a href=\"prizes.htm\">幸运奖</a></li>\n"
         "<li><a href=\"scores.htm\">高分榜</a></li>\n"
         "<li><a href=\"settings.htm\">图片主题、音效与音乐</a></li>\n"
         "</ul>\n"
         "<p>开始游戏：按 <b>F1</b>（初级）、<b>F2</b>（中级）、<b>F3</b>（高级）或 "
         "<b>F4</b>（特高），"
         "或者从“游戏”菜单中选择难度。</p>\n"},
        {"rules.htm", "游戏规则",
         "<h1>游戏规则</h1>\n"
         "<p>棋盘上的每一种图片都成对出现。用鼠标左键先点一张图片，再点另一张相同的图片：</p>\n"
         "<ul>\n"
         "<li>如果两张图片之间能画出一条连线，连线最多由三段直线组成（也就是最多拐两个弯），"
         "并且只经过空位，这两张图片就会消除。棋盘四周的空白也可以走线。</li>\n"
         "<li>如果两张图片相同但连不起来，或者两张图片不同，选择会被取消，请重新选择。</li>\n"
         "<li>点鼠标右键可以取消已经选中的图片。</li>\n"
         "</ul>\n"
         "<p>从第二关开始，每消除一对图片，剩下的图片都会按本关的规则移动（见"
         "<a href=\"levels.htm\">难度与关卡</a>），所以要多想一步。</p>\n"
         "<p>把棋盘上的图片全部消除就过关；如果时间用完，游戏结束。</p>\n"},
        {"keys.htm", "操作与快捷键",
         "<h1>操作与快捷键</h1>\n"
         "<table border=\"1\" cellpadding=\"4\">\n"
         "<tr><th>按键</th><th>作用</th></tr>\n"
         "<tr><td>F1</td><td>开始初级游戏</td></tr>\n"
         "<tr><td>F2</td><td>开始中级游戏</td></tr>\n"
         "<tr><td>F3</td><td>开始高级游戏</td></tr>\n"
         "<tr><td>F4</td><td>开始特高级游戏</td></tr>\n"
         "<tr><td>F5</td><td>提示：标出一对可以消除的图片（用掉一次提示）</td></tr>\n"
         "<tr><td>F6</td><td>重新洗牌（用掉一条生命）</td></tr>\n"
         "<tr><td>F8</td><td>放弃当前游戏</td></tr>\n"
         "<tr><td>F11</td><td>暂停或继续</td></tr>\n"
         "<tr><td>方向键</td><td>显示棋盘上的光标，再按一次移动一格</td></tr>\n"
         "<tr><td>Home、End</td><td>光标移到本行的第一格、最后一格</td></tr>\n"
         "<tr><td>空格或回车</td><td>显示光标时：选择光标所在的图片，和单击鼠标左键一样</td></tr>\n"
         "<tr><td>退格键（Backspace）</td><td>显示光标时：取消选择，和单击鼠标右键一样</td></tr>\n"
         "<tr><td>回车或空格</td><td>没有光标时：隐藏窗口（老板键），时钟停止</td></tr>\n"
         "<tr><td>Alt+G、Alt+S、Alt+A</td><td>打开“游戏”、“选项”、“帮助”菜单</td></tr>\n"
         "<tr><td>Esc</td><td>退出游戏</td></tr>\n"
         "<tr><td>鼠标左键</td><td>选择图片</td></tr>\n"
         "<tr><td>鼠标右键</td><td>取消选择</td></tr>\n"
         "</table>\n"
         "<p>游戏进行中不能开始新的游戏，请先按 F8 放弃。</p>\n"
         "<p>不用鼠标怎么玩，请看<a href=\"keyboard.htm\">只用键盘玩游戏</a>。</p>\n"},
        {"keyboard.htm", "只用键盘玩游戏",
         "<h1>只用键盘玩游戏</h1>\n"
         "<p>不用鼠标也能玩完一整局游戏，从开始到输入名字都可以只用键盘。</p>\n"
         "<h2>棋盘上的光标</h2>\n"
         "<ol>\n"
         "<li>按 F1 到 F4 开始游戏。</li>\n"
         "<li>按任意一个方向键，棋盘上出现一个黑边白框，这就是光标。它出现在第一张图片上，"
         "或者出现在上次离开的位置。</li>\n"
         "<li>用方向键 ↑ ↓ ← → 一格一格地移动光标，空位也可以经过，到了棋盘边上就停住。"
         "<b>Home</b> 和 <b>End</b> 把光标移到本行的第一格和最后一格。</li>\n"
         "<li>光标停在图片上时按<b>空格</b>或<b>回车</b>，就选中这张图片，和单击鼠标左键一样。"
         "再把光标移到另一张相同的图片上按空格或回车，两张图片能连起来就会消除。</li>\n"
         "<li>按<b>退格键</b>（Backspace）取消已经选中的图片，和单击鼠标右键一样。</li>\n"
         "<li>按 <b>F5</b> 提示时，光标会跳到提示的第一张图片上。</li>\n"
         "</ol>\n"
         "<p>消除一对图片后，不管其他图片怎样移动，光标都留在原来的格子上。</p>\n"
         "<h2>光标什么时候消失</h2>\n"
         "<p>在棋盘上移动或点击鼠标、暂停（F11）、隐藏窗口以及游戏结束时，光标会消失；"
         "再按方向键它又会出现。光标不显示时，空格和回车仍然是隐藏窗口的老板键。</p>\n"
         "<h2>菜单和对话框</h2>\n"
         "<p>按 <b>Alt+G</b>、<b>Alt+S</b>、<b>Alt+A</b> 打开“游戏”、“选项”、“帮助”菜单，"
         "再按菜单项括号里的字母或数字，例如 Alt+S 然后按 2 换成“花鸟鱼虫”，"
         "Alt+S 然后按 N 打开排行榜。</p>\n"
         "<p>对话框里用 Tab 在按钮之间切换，回车确定，Esc 关闭；排行榜里用方向键选择难度。"
         "帮助窗口里用 Tab 选择链接，回车打开，Esc 关闭。</p>\n"},
        {"levels.htm", "难度与关卡", LevelsPage()},
        {"scoring.htm", "计分、时间与生命", ScoringPage()},
        {"prizes.htm", "幸运奖",
         "<h1>幸运奖</h1>\n"
         "<p>消除一对图片后，如果剩余时间除以 12 余 "
         "11，就会抽一次幸运奖，结果在状态栏显示三秒：</p>\n"
         "<ul>\n"
         "<li>送提示一点、两点或四点</li>\n"
         "<li>送洗牌（生命）一点、二点或四点</li>\n"
         "<li>送分数 1000 或 2500 点</li>\n"
         "<li>送时间七秒</li>\n"
         "<li>在初级、中级和高级，也可能倒扣一点提示或七秒时间</li>\n"
         "</ul>\n"
         "<p>特高难度只有奖励，没有倒扣。</p>\n"},
        {"scores.htm", "高分榜",
         "<h1>高分榜</h1>\n"
         "<p>每种难度各有一张前十名的高分榜。游戏因过完全部关卡、时间用完或没有生命而结束时，"
         "如果分数能进入前十名，游戏会请你输入名字。主动放弃（F8）的游戏不记分。</p>\n"
         "<p>"
         "从“选项”菜单选择“排行榜”打开高分榜，用“难度”下拉框查看四张榜；“清除记录”把它们全部清空。<"
         "/"
         "p>\n"},
        {"settings.htm", "图片主题、音效与音乐",
         "<h1>图片主题、音效与音乐</h1>\n"
         "<p>“选项”菜单中可以选择三种图片主题：<b>海洋世界</b>、<b>花鸟鱼虫</b>和<b>飞禽走兽</"
         "b>。</p>\n"
         "<p>音效和背景音乐可以分别打开或关闭。背景音乐会随机播放十七首乐曲。</p>\n"
         "<p>这些设置会自动保存，下次启动时保持不变。</p>\n"
         "<p>过关后有时会弹出一个小广告窗口，点击图片可以打开它的网页，窗口约十一秒后自动关闭。</"
         "p>\n"},
    };
    return pages;
}

namespace {

std::string Page(const HelpPage& p) {
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "<title>" +
           p.title +
           "</title>\n"
           "<style>body{font-family:sans-serif;margin:16px;line-height:1.6}"
           "h1{color:#1d4f7a}h2{color:#2b6a99}th{background:#dde8f2}</style>\n"
           "</head>\n<body>\n" +
           p.body +
           (p.file == kHelpDefaultTopic ? "" : "<p><a href=\"index.htm\">返回目录</a></p>\n") +
           "</body>\n</html>\n";
}

std::string Sitemap() {
    std::string s =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<html>\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n</head>\n<body>\n"
        "<object type=\"text/site properties\">\n"
        "<param name=\"Window Styles\" value=\"0x800025\">\n</object>\n<ul>\n";
    for (const HelpPage& p : HelpPages()) {
        s += "<li><object type=\"text/sitemap\">\n<param name=\"Name\" value=\"" + p.title +
             "\">\n<param name=\"Local\" value=\"" + p.file + "\">\n</object>\n";
    }
    s += "</ul>\n</body>\n</html>\n";
    return s;
}

}  // namespace

bool WriteHelpProject(const std::string& dir, const std::string& chm_name) {
    bool ok = MakeDirs(dir);
    for (const HelpPage& p : HelpPages()) ok = ok && WriteText(dir + "/" + p.file, Page(p));
    ok = ok && WriteText(dir + "/mavek.hhc", Sitemap());
    ok = ok && WriteText(dir + "/mavek.hhk", Sitemap());
    std::string hhp =
        "[OPTIONS]\r\n"
        "Compatibility=1.1 or later\r\n"
        "Compiled file=" +
        chm_name +
        "\r\n"
        "Contents file=mavek.hhc\r\n"
        "Index file=mavek.hhk\r\n"
        "Default topic=" +
        std::string(kHelpDefaultTopic) +
        "\r\n"
        "Display compile progress=No\r\n"
        "Full-text search=Yes\r\n"
        "Language=0x804 Chinese (PRC)\r\n"
        "Title=Qarven Vorn 游戏说明\r\n"
        "\r\n[FILES]\r\n";
    for (const HelpPage& p : HelpPages()) hhp += p.file + "\r\n";
    return ok && WriteText(dir + "/mavek.hhp", hhp);
}

}  // namespace assetgen
