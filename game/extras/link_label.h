// CLinkLabel: a static text control turned into a hyperlink. Coloured text that changes under
// the mouse and after a visit, an underlined font, a link cursor, a tooltip with the address, and
// a click that opens the address in the user's browser (falling back to the program registered
// for .htm files) or explains in a message box why it could not.
#pragma once

#include <cstdint>
#include <string>

#include "game/extras/link_text.h"
#include "platform/afx/afxwin.h"

class CLinkLabel : public CStatic {
  public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    static constexpr UINT_PTR kToolId = 1;
    // Registry default values are read into buffers of this size; command lines into twice it.
    static constexpr unsigned kValueBufferSize = 260;
    static constexpr unsigned kCommandBufferSize = 520;

    CLinkLabel();
    ~CLinkLabel() override;

    void SetLinkTarget(const CString& url);
    const CString& GetLinkTarget() const { return m_url; }
    void MarkVisited(bool visited = true);
    bool IsVisited() const { return m_visited; }
    bool IsOver() const { return m_over; }
    // The colour the text is drawn in now: hover while over, else visited or link.
    COLORREF CurrentTextColour() const;

    // Opens `url`; returns the shell's or the fallback's result (above 32 means success).
    static std::intptr_t OpenLink(const char* url, int showCommand);
    // The failure message box (exclamation icon, OK).
    static void ShowOpenError(int code);
    // Reads the default value of `subKey` under the classes root (the one root the fallback
    // uses) into `value`; 0 (success) or the error.
    static long ReadRegistryDefault(const char* subKey, std::string& value);

    void FitToText();
    void LoadLinkCursor();
    HCURSOR LinkCursor() const { return m_linkCursor; }
    CToolTipCtrl& ToolTip() { return m_toolTip; }

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnCaptureChanged(CWnd* pWnd) override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) override;
    void OnClicked();

  private:
    void Redraw();

    COLORREF m_linkColour = kLinkColour;
    COLORREF m_visitedColour = kVisitedColour;
    COLORREF m_hoverColour;
    bool m_over = false;
    bool m_visited = false;
    bool m_underline = true;
    bool m_adjustToFit = true;
    CString m_url;
    CFont m_font;
    HCURSOR m_linkCursor = nullptr;
    CToolTipCtrl m_toolTip;

    DECLARE_MESSAGE_MAP()
};
