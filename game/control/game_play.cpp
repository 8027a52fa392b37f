// The player's move and the game rules around it: clicks, the pair award, cleared levels,
// lost games, the prize draw and the countdown.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/control/game_dlg.h"
#include "game/control/game_sound.h"
#include "game/extras/about_dlg.h"
#include "game/extras/ad_dlg.h"
#include "game/res/resource_ids.h"
#include "game/scores/score_dialogs.h"
#include "platform/crt/rand.h"
#include "platform/crt/textfile.h"
#include "platform/seams/seams.h"

namespace {

constexpr int kFullTime = 300;
constexpr int kTimeCap = 302;  // a pair that takes the time above 300 leaves 302

// The prize table row for a draw r on a difficulty: the text shown, the change it makes and
// its sound. Penalties apply only when their condition holds.
enum class PrizeEffect { Hints, Score, Time, Reshuffles };
struct PrizeRow {
    int text;
    PrizeEffect effect;
    int amount;
    int wave;
};

const PrizeRow kLowerPrizes[7] = {
    {0, PrizeEffect::Hints, 2, IDW_PRIZE_MEDIUM}, {1, PrizeEffect::Score, 2500, IDW_PRIZE_MEDIUM},
    {2, PrizeEffect::Hints, -1, IDW_PENALTY},     {3, PrizeEffect::Hints, 1, IDW_PRIZE_SMALL},
    {4, PrizeEffect::Time, 14, IDW_PRIZE_SMALL},  {5, PrizeEffect::Score, 1000, IDW_PRIZE_SMALL},
    {6, PrizeEffect::Time, -14, IDW_PENALTY},
};
const PrizeRow kSuperPrizes[7] = {
    {0, PrizeEffect::Hints, 2, IDW_PRIZE_MEDIUM},
    {10, PrizeEffect::Hints, 4, IDW_PRIZE_BIG},
    {7, PrizeEffect::Reshuffles, 1, IDW_PRIZE_SMALL},
    {3, PrizeEffect::Hints, 1, IDW_PRIZE_SMALL},
    {4, PrizeEffect::Time, 14, IDW_PRIZE_SMALL},
    {8, PrizeEffect::Reshuffles, 2, IDW_PRIZE_MEDIUM},
    {9, PrizeEffect::Reshuffles, 4, IDW_PRIZE_BIG},
};

}  // namespace

bool ReadAdvertLine(int difficulty, int level, CString* address) {
    crt::TextFile file;
    if (!file.Open("ads\\url.txt", "r")) return false;
    // Lines are read 80 bytes at a time (79 characters and the terminator); the last line
    // read decides, so a short file answers with its last line.
    const int wanted = (difficulty - 1) * 11 + (level - 1);
    char line[80];
    char last[80] = "";
    bool any = false;
    for (int n = 0; n <= wanted; ++n) {
        if (!file.Gets(line, sizeof line)) break;
        std::copy(line, line + sizeof line, last);
        any = true;
    }
    file.Close();
    if (!any || last[0] == '0') return false;
    std::string text = std::strlen(last) > 4 ? std::string(last + 4) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '\t'))
        text.pop_back();
    if (address) *address = CString(text.c_str());
    return true;
}

void CGameDlg::OnLButtonDown(UINT flags, CPoint point) {
    if (m_gameInProgress && m_board.GetSelection().count < 2) {
        const Cell cell = m_board.CellFromPoint(point.x, point.y);
        const ClickRecord click = m_board.LeftClick(cell);
        switch (click.outcome) {
            case ClickOutcome::Ignored:
                break;
            case ClickOutcome::Unselected:
                RedrawCell(click.cell);
                break;
            case ClickOutcome::FirstSelected:
                PlayEffect(m_sound, IDW_SELECT);
                RedrawCell(click.cell);
                break;
            case ClickOutcome::DifferentPictures:
            case ClickOutcome::NoPath:
                PlayEffect(m_sound,
                           click.outcome == ClickOutcome::NoPath ? IDW_NO_PATH : IDW_MISMATCH);
                RedrawCell(click.first);
                RedrawCell(click.second);
                break;
            case ClickOutcome::Linked: {
                RedrawCell(click.second);
                DrawLinkPath(click.path, click.first, click.second);
                PlayLinkEffect(m_sound);
                AwardPair();
                const RemovalRecord removal = m_board.RemoveSelectedPair();
                Invalidate(FALSE);
                switch (removal.outcome) {
                    case RemovalOutcome::PairLeft:
                        DrawPrize();
                        break;
                    case RemovalOutcome::Cleared:
                        LevelCleared();
                        break;
                    case RemovalOutcome::Dead:
                        if (m_reshuffles > 0)
                            OnOptionReshuffle();
                        else
                            GameLost();
                        break;
                    case RemovalOutcome::NotLinked:
                        break;
                }
                break;
            }
        }
    }
    CDialog::OnLButtonDown(flags, point);
}

void CGameDlg::OnRButtonDown(UINT flags, CPoint point) {
    Cell cancelled;
    if (m_gameInProgress && m_board.CancelSelection(&cancelled)) {
        PlayEffect(m_sound, IDW_MISMATCH);
        RedrawCell(cancelled);
    }
    CDialog::OnRButtonDown(flags, point);
}

void CGameDlg::AwardPair() {
    m_timeLeft += 5;
    if (m_timeLeft > kFullTime) m_timeLeft = kTimeCap;
    m_score += 10;
}

void CGameDlg::LevelCleared() {
    m_countdownStopped = 1;
    const int bonus = m_timeLeft + 10 * m_hints + 20 * m_reshuffles;
    CString text;
    CString address;
    if (m_level < kLevelCount) {
        PlayEffect(m_sound, IDW_LEVEL_CLEARED);
        m_score += bonus;
        text.Format("过关了!另加%d分.", bonus);
        MessageBox(text, "成功", MB_OK);
        if (ReadAdvertLine(m_difficulty, m_level, &address)) {
            CString caption;
            caption.Format("加%d分.进入第%d关.", bonus, m_level);
            ShowAdvert(caption, address);
            text.Format("进入第%d关.", m_level);
            MessageBox(text, "成功", MB_OK);
        }
        ++m_level;
        ++m_hints;
        ++m_reshuffles;
        DealLevel();
        Invalidate(FALSE);
        return;
    }
    PlayEffect(m_sound, IDW_ALL_CLEARED);
    m_score += bonus;
    text.Format("恭喜你，全部过关了!\n\n另加%d分.", bonus);
    MessageBox(text, "结束", MB_OK);
    if (ReadAdvertLine(m_difficulty, m_level, &address)) {
        CString caption;
        caption.Format("全部过关了!另加%d分.", bonus);
        ShowAdvert(caption, address);
        MessageBox("全部过关了!游戏结束", "结束", MB_OK);
    }
    RecordHighScore();
    GiveUp();
    m_allClearedShown = 1;
    LoadIdlePicture(m_difficulty);
    Invalidate(FALSE);
}

// The advert of the level just cleared, modal; its window and picture thread are gone on return.
void CGameDlg::ShowAdvert(const CString& caption, const CString& address) {
    CAdDlg advert(caption, address, m_difficulty, m_level, this);
    advert.DoModal();
}

void CGameDlg::GameLost() {
    m_countdownStopped = 1;
    PlayEffect(m_sound, IDW_GAME_OVER);
    MessageBox("没有可消除的牌!", "失败", MB_OK);
    RecordHighScore();
    GiveUp();
}

void CGameDlg::DrawPrize() {
    if (m_timeLeft % 12 != 11 || m_prizeShown >= 0) return;
    const int r = crt::rand() % 7;
    const PrizeRow& row = (m_difficulty == Super ? kSuperPrizes : kLowerPrizes)[r];
    m_prizeShown = row.text;
    bool applies = true;
    if (row.amount < 0) {
        // Penalties: the condition first, then a second draw decides.
        const bool eligible = row.effect == PrizeEffect::Hints ? m_hints >= 1 : m_timeLeft >= 70;
        applies = eligible && crt::rand() % 2 == 0;
    }
    if (!applies) {
        m_prizeShown = -1;
        return;
    }
    switch (row.effect) {
        case PrizeEffect::Hints:
            m_hints += row.amount;
            break;
        case PrizeEffect::Score:
            m_score += row.amount;
            break;
        case PrizeEffect::Time:
            m_timeLeft += row.amount;
            break;
        case PrizeEffect::Reshuffles:
            m_reshuffles += row.amount;
            break;
    }
    Invalidate(FALSE);
    PlayEffect(m_sound, row.wave);
    SetTimer(TIMER_PRIZE, 3000, nullptr);
}

void CGameDlg::ClearPrize() {
    m_prizeShown = -1;
    KillTimer(TIMER_PRIZE);
    Invalidate(FALSE);
}

void CGameDlg::CountdownTick() {
    if (m_timeLeft < 0 || m_countdownStopped || m_hidden || m_paused) return;
    if (m_timeLeft == 0) {
        m_timeLeft = -1;
        {
            CClientDC dc(this);
            dc.PatBlt(250, 2, 301, 14, BLACKNESS);
        }
        m_countdownStopped = 1;
        PlayEffect(m_sound, IDW_GAME_OVER);
        m_score += 100;
        MessageBox("时间到!\n\n加时间能量100分.", "失败", MB_OK);
        RecordHighScore();
        GiveUp();
        return;
    }
    --m_timeLeft;
    if (m_timeLeft > 0) {
        const int x = std::min(m_timeLeft + 250, 550);
        CClientDC dc(this);
        dc.PatBlt(x + 1, 2, 550 - x, 14, BLACKNESS);
    }
}

void CGameDlg::RecordHighScore() { ::RecordHighScore(this, m_difficulty, m_score); }
