// The dialog controls: static text and icons, push buttons, single-line edits, drop-down lists,
// report-style list views and tooltips.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/wnd.h"

class CStatic : public CWnd {
  public:
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};

class CButton : public CWnd {
  public:
    // Simulates a click: BN_CLICKED to the parent.
    void Click();
};

class CEdit : public CWnd {
  public:
    // Input limit in code page 936 bytes (0: the default, 30000).
    void SetLimitText(UINT maxBytes);
    void LimitText(int maxBytes = 0) { SetLimitText(static_cast<UINT>(maxBytes)); }
    UINT GetLimitText() const;
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    // Types `text` as a user would: characters beyond the limit are refused.
    void TypeText(const char* text);
};

constexpr int CB_ERR = -1;
class CComboBox : public CWnd {
  public:
    int AddString(const char* text);  // returns the index
    int InsertString(int index, const char* text);
    int DeleteString(int index);  // returns the count left
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;  // CB_ERR when none
    // Does not notify the parent (as on Windows); -1 clears the selection.
    int SetCurSel(int index);
    int GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    // Selects as the user does: CBN_SELCHANGE to the parent.
    void SelectByUser(int index);
};

class CListCtrl : public CWnd {
  public:
    DWORD SetExtendedStyle(DWORD exStyle);  // LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT
    DWORD GetExtendedStyle() const;
    int InsertColumn(int col, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    BOOL DeleteColumn(int col);
    int GetColumnCount() const;
    int GetColumnWidth(int col) const;
    CString GetColumnHeading(int col) const;
    int InsertItem(int item, const char* text);  // returns the index
    BOOL SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;
};

// Tooltips over controls: tool `id` over `wnd` shows `text` while the mouse rests on it.
class CToolTipCtrl : public CWnd {
  public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* wnd, const char* text, LPCRECT rect = nullptr, UINT_PTR id = 0);
    void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void Activate(BOOL activate);
    // Accepted for the Windows pattern; the tooltips watch the mouse themselves.
    void RelayEvent(MSG* msg);
    // The text of tool `id` over `wnd` ("" when none).
    CString GetToolText(CWnd* wnd, UINT_PTR id = 0) const;

  private:
    struct Tool {
        CWnd* wnd;
        UINT_PTR id;
        std::string text;
    };
    std::vector<Tool> tools_;
    CWnd* parent_ = nullptr;
    bool active_ = true;
    void Apply(const Tool& tool);
};
