// CAdDlg: the advert window shown after a cleared level. It plays the level's animated GIF
// ("ads\%d%02d.gif"), is captioned with the bonus message, opens the advert's web address when
// the picture is clicked, shows the hand cursor over the picture and closes by itself on the
// eleventh tick of its one-second timer.
#pragma once

#include <memory>

#include "game/extras/ad_picture.h"
#include "game/res/resource_ids.h"
#include "platform/afx/afxwin.h"

class CAdDlg : public CDialog {
  public:
    enum { IDD = IDD_AD };
    // The auto-close timer and its period.
    static constexpr UINT_PTR kCloseTimer = 1;
    static constexpr UINT kCloseTimerPeriodMs = 1000;
    static constexpr int kCloseCountStart = 10;
    // The hand cursor resource shown over the picture.
    static constexpr int kHandCursorId = IDC_HAND_CURSOR;

    CAdDlg(const CString& caption, const CString& url, int difficulty, int level,
           CWnd* parent = nullptr);
    ~CAdDlg() override;

    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnDestroy() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;

    // "ads\%d%02d.gif" with the difficulty and the level.
    static CString AdvertFileName(int difficulty, int level);

    // For tests and the scripted driver.
    const CAdPicture* Picture() const { return m_picture.get(); }
    int AutoCloseCount() const { return m_autoCloseCount; }
    bool PointerInside() const { return m_pointerInside != 0; }

  private:
    CString m_url;
    CString m_caption;
    int m_difficulty;
    int m_level;
    int m_autoCloseCount = kCloseCountStart;
    int m_pointerInside = 0;
    std::unique_ptr<CAdPicture> m_picture;

    DECLARE_MESSAGE_MAP()
};
