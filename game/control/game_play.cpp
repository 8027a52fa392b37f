// The player's move and what follows it: clicks, removed pairs, cleared levels, lost games, the
// prize draw and the countdown. The values change in GameRules; here they become sounds, boxes,
// timers and drawing.
#include <string>

#include "game/board/shift.h"
#include "game/control/game_dlg.h"
#include "game/control/game_sound.h"
#include "game/extras/ad_dlg.h"
#include "game/extras/advert_list.h"
#include "game/res/resource_ids.h"
#include "game/scores/score_dialogs.h"

void CGameDlg::OnLButtonDown(UINT flags, CPoint point) {
    m_lastMouse = point;
    HideCursor();
    if (m_gameInProgress && m_board.GetSelection().count < 2)
        PickCell(m_board.CellFromPoint(point.x, point.y));
    CDialog::OnLButtonDown(flags, point);
}

// The move of a left click on `cell`; the caller has checked that a game runs and that fewer
// than two tiles are selected.
void CGameDlg::PickCell(Cell cell) {
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
            PlayEffect(m_sound, click.outcome == ClickOutcome::NoPath ? IDW_NO_PATH : IDW_MISMATCH);
            RedrawCell(click.first);
            RedrawCell(click.second);
            break;
        case ClickOutcome::Linked: {
            RedrawCell(click.second);
            DrawLinkPath(click.path, click.first, click.second);
            PlayLinkEffect(m_sound);
            m_rules.AwardPair();
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
                    if (m_rules.Values().reshuffles > 0)
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

void CGameDlg::OnRButtonDown(UINT flags, CPoint point) {
    m_lastMouse = point;
    HideCursor();
    CancelPick();
    CDialog::OnRButtonDown(flags, point);
}

void CGameDlg::CancelPick() {
    Cell cancelled;
    if (m_gameInProgress && m_board.CancelSelection(&cancelled)) {
        PlayEffect(m_sound, IDW_MISMATCH);
        RedrawCell(cancelled);
    }
}

void CGameDlg::LevelCleared() {
    const int difficulty = m_board.GetDifficulty();
    const int level = m_board.GetLevel();
    const LevelClearRecord cleared = m_rules.ClearLevel(level);
    CString text;
    std::string address;
    if (!cleared.lastLevel) {
        PlayEffect(m_sound, IDW_LEVEL_CLEARED);
        text.Format("过关了!另加%d分.", cleared.bonus);
        MessageBox(text, "成功", MB_OK);
        if (ReadAdvertLine(difficulty, level, &address)) {
            CString caption;
            // The level about to start, by the number the status panel will show for it.
            const int next = ShownLevelNumber(level + 1);
            caption.Format("加%d分.进入第%d关.", cleared.bonus, next);
            ShowAdvert(caption, CString(address.c_str()));
            text.Format("进入第%d关.", next);
            MessageBox(text, "成功", MB_OK);
        }
        m_rules.NextLevel();
        DealLevel(difficulty, level + 1);
        Invalidate(FALSE);
        return;
    }
    PlayEffect(m_sound, IDW_ALL_CLEARED);
    text.Format("恭喜你，全部过关了!\n\n另加%d分.", cleared.bonus);
    MessageBox(text, "结束", MB_OK);
    if (ReadAdvertLine(difficulty, level, &address)) {
        CString caption;
        caption.Format("全部过关了!另加%d分.", cleared.bonus);
        ShowAdvert(caption, CString(address.c_str()));
        MessageBox("全部过关了!游戏结束", "结束", MB_OK);
    }
    RecordHighScore();
    GiveUp();
    m_allClearedShown = 1;
    LoadIdlePicture(difficulty);
    Invalidate(FALSE);
}

// The advert of the level just cleared, modal; its window and picture thread are gone on return.
void CGameDlg::ShowAdvert(const CString& caption, const CString& address) {
    CAdDlg advert(caption, address, m_board.GetDifficulty(), m_board.GetLevel(), this);
    advert.DoModal();
}

void CGameDlg::GameLost() {
    m_rules.StopCountdown();
    PlayEffect(m_sound, IDW_GAME_OVER);
    MessageBox("没有可消除的牌!", "失败", MB_OK);
    RecordHighScore();
    GiveUp();
}

void CGameDlg::DrawPrize() {
    const PrizeRecord prize = m_rules.DrawPrize(m_board.GetDifficulty(), m_rng);
    if (!prize.drawn) return;
    Invalidate(FALSE);
    PlayEffect(m_sound, prize.wave);
    SetTimer(TIMER_PRIZE, 3000, nullptr);
}

void CGameDlg::ClearPrize() {
    m_rules.ClearPrize();
    KillTimer(TIMER_PRIZE);
    Invalidate(FALSE);
}

void CGameDlg::CountdownTick() {
    if (m_hidden || m_paused) return;
    const TickRecord tick = m_rules.Tick();
    if (tick.outcome == TickOutcome::TimeUp) {
        {
            CClientDC dc(this);
            const CRect bar = TimeBarWhole();
            dc.PatBlt(bar.left, bar.top, bar.Width(), bar.Height(), BLACKNESS);
        }
        PlayEffect(m_sound, IDW_GAME_OVER);
        CString text;
        text.Format("时间到!\n\n加时间能量%d分.", kTimeUpBonus);
        MessageBox(text, "失败", MB_OK);
        RecordHighScore();
        GiveUp();
        return;
    }
    if (tick.outcome == TickOutcome::Counted && tick.timeLeft > 0) {
        CClientDC dc(this);
        const CRect cut = TimeBarCut(tick.timeLeft);
        dc.PatBlt(cut.left, cut.top, cut.Width(), cut.Height(), BLACKNESS);
    }
}

void CGameDlg::RecordHighScore() {
    ::RecordHighScore(this, m_board.GetDifficulty(), m_rules.Values().score);
}
