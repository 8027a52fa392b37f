// The leaderboard and the name entry on the real window framework (offscreen), with the modal
// responder answering the name dialog and the score files on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/scores/score_dialogs.h"
#include "platform/afx/automation.h"
#include "platform/seams/seams.h"
#include "tests/support/idle_script.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/trace_log.h"

namespace {

using testsupport::Bytes;
using testsupport::Put;

constexpr int kHostDialog = 9901;

using testsupport::Script;
using testsupport::TraceLog;

class ScoreDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        afx::DialogTemplate host;
        host.id = kHostDialog;
        host.caption = "host";
        host.cx = 200;
        host.cy = 100;
        afx::RegisterDialogTemplate(host);
        RegisterScoreDialogs();

        ASSERT_NO_FATAL_FAILURE(m_scratch.Enter("scores_dialogs"));
        seams::SetResponderErrorHandler([this](const std::string& m) { errors.push_back(m); });
    }
    void TearDown() override {
        seams::EnableResponder(false);
        seams::ClearAnswers();
        seams::SetResponderErrorHandler(nullptr);
        afx::automation::SetLiveDialog(IDD_RANK_DIALOG, false);
        m_scratch.Leave();
    }

    // Runs `body` inside the message loop of a live host window, as the main window would.
    void InHost(const std::function<void(CWnd*)>& body,
                std::vector<std::function<void()>> more = {}) {
        CDialog host(kHostDialog);
        std::vector<std::function<void()>> steps = {[&] { body(&host); }};
        for (auto& s : more) steps.push_back(s);
        steps.push_back([&] { host.EndDialog(IDOK); });
        Script script(steps);
        host.DoModal();
    }

    testsupport::ScratchDir m_scratch;
    std::vector<std::string> errors;
};

const std::string kTable900 =
    "900\r\na\r\n700\r\nb\r\n500\r\nc\r\n300\r\nd\r\n200\r\ne\r\n"
    "150\r\nf\r\n100\r\ng\r\n80\r\nh\r\n60\r\ni\r\n40\r\nj\r\n";

TEST_F(ScoreDialogsTest, RankingScoreAsksForTheNameAndWritesItInCodePage936) {
    Put("score.2", kTable900);
    TraceLog trace;
    seams::EnableResponder(true);
    ASSERT_TRUE(seams::QueueAnswer("text 王五"));
    InHost([](CWnd* host) { RecordHighScore(host, 2, 500); });
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(seams::PendingAnswers(), 0u);
    EXPECT_EQ(
        Bytes("score.2"),
        "900\r\na\r\n700\r\nb\r\n500\r\n\xCD\xF5\xCE\xE5\r\n500\r\nc\r\n300\r\nd\r\n200\r\ne\r\n"
        "150\r\nf\r\n100\r\ng\r\n80\r\nh\r\n60\r\ni\r\n");
    bool opened = false;
    for (const auto& line : trace.lines)
        if (line == "{\"event\": \"dialog\", \"id\": 158, \"caption\": \"记录积分\"}")
            opened = true;
    EXPECT_TRUE(opened);
}

TEST_F(ScoreDialogsTest, DeclinedOrBelowAllTenWritesNothing) {
    Put("score.1", kTable900);
    seams::EnableResponder(true);
    ASSERT_TRUE(seams::QueueAnswer("cancel"));
    InHost([](CWnd* host) { RecordHighScore(host, 1, 5000); });
    EXPECT_EQ(Bytes("score.1"), kTable900);
    EXPECT_TRUE(errors.empty());
    // Below all ten: no dialog at all, so an unanswered one would be reported.
    InHost([](CWnd* host) { RecordHighScore(host, 1, 39); });
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(Bytes("score.1"), kTable900);
    // A missing table asks nothing and creates nothing.
    InHost([](CWnd* host) { RecordHighScore(host, 3, 10000); });
    EXPECT_TRUE(errors.empty());
    EXPECT_NE(access("score.3", F_OK), 0);
}

TEST_F(ScoreDialogsTest, NameLimitCountsCodePageBytesAndEmptyNameIsKept) {
    ClearScores();
    seams::EnableResponder(true);
    std::string name;
    for (int i = 0; i < 35; ++i) name += "张";
    ASSERT_TRUE(seams::QueueAnswer("text " + name));
    InHost([](CWnd* host) { RecordHighScore(host, 4, 0); });
    std::string expected = "0\r\n";
    for (int i = 0; i < 30; ++i) expected += "\xD5\xC5";
    expected += "\r\n";
    EXPECT_EQ(Bytes("score.4").substr(0, expected.size()), expected);
    // An empty name: OK with nothing typed.
    ASSERT_TRUE(seams::QueueAnswer("ok"));
    InHost([](CWnd* host) { RecordHighScore(host, 4, 10); });
    // 10 takes rank 1 with an empty name; the first entry moves to rank 2.
    EXPECT_EQ(Bytes("score.4"), "10\r\n\r\n" + expected + "0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n" +
                                    "0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n");
}

TEST_F(ScoreDialogsTest, NameDialogShowsRankScoreAndDifficultyNumeral) {
    std::string shown;
    InHost([&](CWnd* host) {
        CRecordDlg dlg(host);
        dlg.m_rankIndex = 2;
        dlg.m_score = 1250;
        dlg.m_difficulty = 2;
        ASSERT_TRUE(dlg.Create(IDD_RECORD_DIALOG, host));
        CString text;
        dlg.GetDlgItem(IDC_RECORD_TEXT)->GetWindowText(text);
        shown = text.GetString();
        auto* edit = static_cast<CEdit*>(dlg.GetDlgItem(IDC_RECORD_NAME));
        EXPECT_EQ(edit->GetLimitText(), 60u);
        dlg.DestroyWindow();
    });
    EXPECT_EQ(shown, "排名3 得分1250 难度:Ⅱ");
}

TEST_F(ScoreDialogsTest, LeaderboardListsTheTableAndSwitchesDifficulty) {
    Put("score.3", "0900 \r\n\xC9\xFA\xC3\xFC\r\n700\r\n\r\n");
    Put("score.1", kTable900);
    std::vector<std::string> firstRows, afterSwitch;
    int selected = -2, columns = 0;
    DWORD exStyle = 0;
    std::string headings;
    InHost([&](CWnd* host) {
        CRankDlg dlg(host);
        dlg.m_difficulty = 3;
        ASSERT_TRUE(dlg.Create(IDD_RANK_DIALOG, host));
        selected = dlg.m_comboDifficulty.GetCurSel();
        columns = dlg.m_listScores.GetColumnCount();
        exStyle = dlg.m_listScores.GetExtendedStyle();
        for (int c = 0; c < columns; ++c)
            headings += std::string(dlg.m_listScores.GetColumnHeading(c).GetString()) + "/" +
                        std::to_string(dlg.m_listScores.GetColumnWidth(c)) + " ";
        for (int i = 0; i < dlg.m_listScores.GetItemCount(); ++i)
            firstRows.push_back(std::string(dlg.m_listScores.GetItemText(i, 0).GetString()) + "|" +
                                dlg.m_listScores.GetItemText(i, 1).GetString() + "|" +
                                dlg.m_listScores.GetItemText(i, 2).GetString());
        dlg.m_comboDifficulty.SelectByUser(1);  // score.2 is missing: the list empties
        afterSwitch.push_back(std::to_string(dlg.m_listScores.GetItemCount()));
        dlg.m_comboDifficulty.SelectByUser(0);
        afterSwitch.push_back(std::to_string(dlg.m_listScores.GetItemCount()));
        afterSwitch.push_back(dlg.m_listScores.GetItemText(9, 1).GetString());
        dlg.DestroyWindow();
    });
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(headings, "排名/40 得分/58 姓名/80 ");
    EXPECT_EQ(exStyle & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    ASSERT_EQ(firstRows.size(), 10u);
    EXPECT_EQ(firstRows[0], "1|0900|生命");
    EXPECT_EQ(firstRows[1], "2|700|");
    EXPECT_EQ(firstRows[9], "10|0|");
    EXPECT_EQ(afterSwitch, (std::vector<std::string>{"0", "10", "40"}));
}

TEST_F(ScoreDialogsTest, ClearButtonResetsAllFourTablesAndCloses) {
    Put("score.1", kTable900);
    Put("score.3", kTable900);
    afx::automation::SetLiveDialog(IDD_RANK_DIALOG, true);
    TraceLog trace;
    bool onTop = false;
    InHost([](CWnd* host) { ShowLeaderboard(host, 1); }, {[&] {
               CWnd* top = afx::automation::TopWindow();
               onTop = top != nullptr && dynamic_cast<CRankDlg*>(top) != nullptr;
               if (top) static_cast<CButton*>(top->GetDlgItem(IDC_RANK_CLEAR))->Click();
           }});
    EXPECT_TRUE(onTop);
    std::string cleared;
    for (int i = 0; i < 10; ++i) cleared += "0\r\n\r\n";
    for (int d = 1; d <= 4; ++d) EXPECT_EQ(Bytes("score." + std::to_string(d)), cleared) << d;
    bool closedWithOk = false;
    for (const auto& line : trace.lines)
        if (line == "{\"event\": \"dialog_closed\", \"id\": 156, \"result\": 1}")
            closedWithOk = true;
    EXPECT_TRUE(closedWithOk);
}

}  // namespace
