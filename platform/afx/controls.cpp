// The dialog controls: static text and icons, push buttons, single-line edits, drop-down
// lists, report-style list views and tooltips. Their state lives in the window and is
// mirrored into the widgets that show them (platform/qt).
#include "platform/afx/input.h"
#include "platform/afx/window.h"
#include "platform/crt/codepage.h"

using afx::WindowImpl;

// ---- CStatic ----

HICON CStatic::SetIcon(HICON icon) {
    if (!impl_) return nullptr;
    HICON previous = impl_->staticIcon;
    impl_->staticIcon = icon;
    impl_->SyncControl();
    return previous;
}

HICON CStatic::GetIcon() const { return impl_ ? impl_->staticIcon : nullptr; }

// ---- CButton ----

void CButton::Click() {
    if (impl_ && impl_->enabled) afx::NotifyParent(impl_, BN_CLICKED);
}

// ---- CEdit ----

void CEdit::SetLimitText(UINT maxBytes) {
    if (!impl_) return;
    impl_->editLimit = maxBytes ? maxBytes : afx::kDefaultEditLimit;
}

UINT CEdit::GetLimitText() const { return impl_ ? impl_->editLimit : 0; }

void CEdit::SetSel(int, int, BOOL) {}

void CEdit::TypeText(const char* text) {
    if (!impl_ || !text) return;
    const std::string typed = impl_->text + text;
    const std::string kept = crt::TruncateToCp936Bytes(typed, impl_->editLimit);
    if (kept == impl_->text) return;
    impl_->text = kept;
    impl_->SyncText();
    afx::NotifyParent(impl_, EN_CHANGE);
}

// ---- CComboBox ----

int CComboBox::AddString(const char* text) {
    if (!impl_) return CB_ERR;
    impl_->comboItems.emplace_back(text ? text : "");
    impl_->SyncControl();
    return static_cast<int>(impl_->comboItems.size()) - 1;
}

int CComboBox::InsertString(int index, const char* text) {
    if (!impl_) return CB_ERR;
    auto& items = impl_->comboItems;
    if (index < 0 || index > static_cast<int>(items.size())) index = static_cast<int>(items.size());
    items.insert(items.begin() + index, text ? text : "");
    if (impl_->comboSel >= index) ++impl_->comboSel;
    impl_->SyncControl();
    return index;
}

int CComboBox::DeleteString(int index) {
    if (!impl_) return CB_ERR;
    auto& items = impl_->comboItems;
    if (index < 0 || index >= static_cast<int>(items.size())) return CB_ERR;
    items.erase(items.begin() + index);
    if (impl_->comboSel == index)
        impl_->comboSel = -1;
    else if (impl_->comboSel > index)
        --impl_->comboSel;
    impl_->SyncControl();
    return static_cast<int>(items.size());
}

void CComboBox::ResetContent() {
    if (!impl_) return;
    impl_->comboItems.clear();
    impl_->comboSel = -1;
    impl_->SyncControl();
}

int CComboBox::GetCount() const {
    return impl_ ? static_cast<int>(impl_->comboItems.size()) : CB_ERR;
}

int CComboBox::GetCurSel() const { return impl_ ? impl_->comboSel : CB_ERR; }

int CComboBox::SetCurSel(int index) {
    if (!impl_) return CB_ERR;
    if (index < 0 || index >= static_cast<int>(impl_->comboItems.size())) {
        impl_->comboSel = -1;
        impl_->SyncControl();
        return CB_ERR;
    }
    impl_->comboSel = index;
    impl_->SyncControl();
    return index;
}

int CComboBox::GetLBText(int index, CString& text) const {
    if (!impl_ || index < 0 || index >= static_cast<int>(impl_->comboItems.size())) return CB_ERR;
    text = impl_->comboItems[static_cast<size_t>(index)].c_str();
    return text.GetLength();
}

int CComboBox::GetLBTextLen(int index) const {
    if (!impl_ || index < 0 || index >= static_cast<int>(impl_->comboItems.size())) return CB_ERR;
    return static_cast<int>(impl_->comboItems[static_cast<size_t>(index)].size());
}

void CComboBox::SelectByUser(int index) {
    if (!impl_ || index < 0 || index >= static_cast<int>(impl_->comboItems.size())) return;
    impl_->comboSel = index;
    impl_->SyncControl();
    afx::NotifyParent(impl_, CBN_SELCHANGE);
}

// ---- CListCtrl ----

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
    if (!impl_) return 0;
    const DWORD previous = impl_->listExStyle;
    impl_->listExStyle = exStyle;
    impl_->SyncControl();
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const { return impl_ ? impl_->listExStyle : 0; }

int CListCtrl::InsertColumn(int col, const char* heading, int format, int width, int) {
    if (!impl_) return -1;
    auto& cols = impl_->columns;
    if (col < 0 || col > static_cast<int>(cols.size())) col = static_cast<int>(cols.size());
    cols.insert(cols.begin() + col, afx::ListColumn{heading ? heading : "", width, format});
    for (auto& row : impl_->rows)
        if (static_cast<int>(row.size()) >= col) row.insert(row.begin() + col, std::string());
    impl_->SyncControl();
    return col;
}

BOOL CListCtrl::DeleteColumn(int col) {
    if (!impl_ || col < 0 || col >= static_cast<int>(impl_->columns.size())) return FALSE;
    impl_->columns.erase(impl_->columns.begin() + col);
    for (auto& row : impl_->rows)
        if (col < static_cast<int>(row.size())) row.erase(row.begin() + col);
    impl_->SyncControl();
    return TRUE;
}

int CListCtrl::GetColumnCount() const {
    return impl_ ? static_cast<int>(impl_->columns.size()) : 0;
}

int CListCtrl::GetColumnWidth(int col) const {
    if (!impl_ || col < 0 || col >= static_cast<int>(impl_->columns.size())) return 0;
    return impl_->columns[static_cast<size_t>(col)].width;
}

CString CListCtrl::GetColumnHeading(int col) const {
    if (!impl_ || col < 0 || col >= static_cast<int>(impl_->columns.size())) return CString();
    return CString(impl_->columns[static_cast<size_t>(col)].heading);
}

int CListCtrl::InsertItem(int item, const char* text) {
    if (!impl_) return -1;
    auto& rows = impl_->rows;
    if (item < 0 || item > static_cast<int>(rows.size())) item = static_cast<int>(rows.size());
    std::vector<std::string> row(impl_->columns.empty() ? 1 : impl_->columns.size());
    row[0] = text ? text : "";
    rows.insert(rows.begin() + item, row);
    impl_->SyncControl();
    return item;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    if (!impl_ || item < 0 || item >= static_cast<int>(impl_->rows.size()) || subItem < 0)
        return FALSE;
    auto& row = impl_->rows[static_cast<size_t>(item)];
    if (subItem >= static_cast<int>(row.size())) row.resize(static_cast<size_t>(subItem) + 1);
    row[static_cast<size_t>(subItem)] = text ? text : "";
    impl_->SyncControl();
    return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    if (!impl_ || item < 0 || item >= static_cast<int>(impl_->rows.size()) || subItem < 0)
        return CString();
    const auto& row = impl_->rows[static_cast<size_t>(item)];
    return subItem < static_cast<int>(row.size()) ? CString(row[static_cast<size_t>(subItem)])
                                                  : CString();
}

BOOL CListCtrl::DeleteItem(int item) {
    if (!impl_ || item < 0 || item >= static_cast<int>(impl_->rows.size())) return FALSE;
    impl_->rows.erase(impl_->rows.begin() + item);
    impl_->SyncControl();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    if (!impl_) return FALSE;
    impl_->rows.clear();
    impl_->SyncControl();
    return TRUE;
}

int CListCtrl::GetItemCount() const { return impl_ ? static_cast<int>(impl_->rows.size()) : 0; }

// ---- CToolTipCtrl ----

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD) {
    parent_ = parent;
    return parent != nullptr;
}

void CToolTipCtrl::Apply(const Tool& tool) {
    if (!tool.wnd || !tool.wnd->Impl()) return;
    WindowImpl* impl = tool.wnd->Impl();
    impl->toolTip = active_ ? tool.text : std::string();
    impl->SyncToolTip();
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, LPCRECT, UINT_PTR id) {
    if (!wnd) return FALSE;
    for (Tool& t : tools_) {
        if (t.wnd == wnd && t.id == id) {
            t.text = text ? text : "";
            Apply(t);
            return TRUE;
        }
    }
    tools_.push_back(Tool{wnd, id, text ? text : ""});
    Apply(tools_.back());
    return TRUE;
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id) {
    for (Tool& t : tools_) {
        if (t.wnd == wnd && t.id == id) {
            t.text = text ? text : "";
            Apply(t);
        }
    }
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
    for (size_t i = 0; i < tools_.size(); ++i) {
        if (tools_[i].wnd == wnd && tools_[i].id == id) {
            Tool gone = tools_[i];
            gone.text.clear();
            Apply(gone);
            tools_.erase(tools_.begin() + static_cast<long>(i));
            return;
        }
    }
}

void CToolTipCtrl::Activate(BOOL activate) {
    active_ = activate != FALSE;
    for (const Tool& t : tools_) Apply(t);
}

void CToolTipCtrl::RelayEvent(MSG*) {}

CString CToolTipCtrl::GetToolText(CWnd* wnd, UINT_PTR id) const {
    for (const Tool& t : tools_)
        if (t.wnd == wnd && t.id == id) return CString(t.text);
    return CString();
}
