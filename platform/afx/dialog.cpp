// CDialog: windows from templates, modal loops, the dialog keys, answers from the responder,
// and data exchange.
#include "platform/afx/automation.h"
#include "platform/afx/input.h"
#include "platform/afx/loop.h"
#include "platform/afx/window.h"
#include "platform/crt/codepage.h"

using afx::WindowImpl;

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::CDialog(const afx::DialogTemplate& t, CWnd* parent, bool held)
    : templateId_(0),
      parent_(parent),
      ownTemplate_(std::make_shared<const afx::DialogTemplate>(t)),
      held_(held) {}

CDialog::~CDialog() {
    if (running_) {
        // Destroyed while its loop runs: end the loop.
        ended_ = true;
    }
    auto& stack = afx::ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
}

namespace {

// The top-level window a new dialog belongs to: its parent's, else the window that has the
// input now (the innermost modal dialog or the main window).
CWnd* OwnerFor(CDialog* dlg, CWnd* parent) {
    CWnd* owner = parent ? parent->GetTopLevelParent() : afx::TopWindowForInput();
    if (owner == dlg || !owner || !owner->m_hWnd) return nullptr;
    return owner;
}

bool CreateFromTemplate(CDialog* dlg, const afx::DialogTemplate* t, CWnd* owner) {
    if (!t) return false;
    afx::EnsureWindowSystem();
    auto* impl = new WindowImpl(nullptr, nullptr);
    dlg->AttachImpl(impl);
    impl->CreateTopLevel(*t, owner ? owner->Impl() : nullptr);
    // Centred over the owner (or the screen); OnInitDialog may place it elsewhere.
    dlg->CenterWindow(owner);
    impl->visible = (t->style & WS_VISIBLE) != 0;
    impl->Invalidate(nullptr, true);
    return true;
}

// Runs OnInitDialog; unless it set the focus itself (and returned FALSE), the focus goes to the
// first control that takes it, as a person expects to start typing or choosing at once.
void InitDialog(CDialog* dlg) {
    const BOOL focusDefault = dlg->OnInitDialog();
    WindowImpl* impl = dlg->Impl();
    if (!impl) return;
    for (WindowImpl* child : impl->children) child->ApplyControlColours();
    if (focusDefault) {
        if (WindowImpl* first = afx::NextTabStop(impl, nullptr, false))
            if (first->wnd) first->wnd->SetFocus();
    }
}

std::string Caption(const CWnd* w) {
    CString text;
    w->GetWindowText(text);
    return text.str();
}

}  // namespace

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    templateId_ = templateId;
    parent_ = parent;
    const afx::DialogTemplate* t = afx::FindDialogTemplate(static_cast<int>(templateId));
    if (!CreateFromTemplate(this, t, parent ? parent->GetTopLevelParent() : nullptr)) return FALSE;
    InitDialog(this);
    if (Impl()) Impl()->SyncVisible();
    return TRUE;
}

void CDialog::Answer(const seams::Answer& answer) {
    switch (answer.kind) {
        case seams::Answer::Text:
            for (WindowImpl* child : Impl()->children) {
                if (child->kind == afx::ControlKind::Edit) {
                    if (auto* edit =
                            dynamic_cast<CEdit*>(child->wnd ? child->wnd : child->ownedWnd.get())) {
                        edit->SetWindowText("");
                        edit->TypeText(answer.text.c_str());
                    }
                    break;
                }
            }
            SendMessage(WM_COMMAND, IDOK, 0);
            break;
        case seams::Answer::Ok:
        case seams::Answer::Yes:
            SendMessage(WM_COMMAND, IDOK, 0);
            break;
        case seams::Answer::Cancel:
        case seams::Answer::No:
            SendMessage(WM_COMMAND, IDCANCEL, 0);
            break;
        case seams::Answer::Hold:
            break;
    }
}

INT_PTR CDialog::DoModal() {
    const bool outermost = afx::ModalStack().empty();
    const afx::DialogTemplate* t =
        ownTemplate_ ? ownTemplate_.get() : afx::FindDialogTemplate(static_cast<int>(templateId_));
    CWnd* owner = outermost ? nullptr : OwnerFor(this, parent_);
    if (!CreateFromTemplate(this, t, owner)) return -1;
    running_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    // The mouse belongs to the new dialog now: a capture held by a window under it ends.
    if (!outermost) ReleaseCapture();
    afx::ModalStack().push_back(this);
    InitDialog(this);
    const int id = static_cast<int>(templateId_);
    const bool traced = !ownTemplate_;
    if (traced) seams::Trace("dialog", {{"id", id}, {"caption", Caption(this)}});

    if (!ended_ && m_hWnd && !ownTemplate_) {
        const bool live =
            outermost || afx::automation::IsLiveDialog(id) || !seams::ResponderEnabled();
        if (!live) {
            seams::Answer answer;
            if (seams::TakeAnswer("dialog " + std::to_string(id) + " \"" + Caption(this) + "\"",
                                  &answer)) {
                if (answer.kind == seams::Answer::Hold)
                    held_ = true;
                else
                    Answer(answer);
            } else if (!ended_) {
                EndDialog(IDCANCEL);
            }
        }
    }
    // The owner takes no input while the dialog runs, as on every desktop.
    HWND disabledOwner = nullptr;
    if (!ended_ && m_hWnd && owner && owner->IsWindowEnabled()) {
        owner->EnableWindow(FALSE);
        disabledOwner = owner->m_hWnd;
    }
    if (!ended_ && m_hWnd) {
        WindowImpl* impl = Impl();
        impl->visible = true;
        impl->SetModal(!outermost);
        impl->SyncVisible();
        impl->Activate();
        afx::RunModalLoop([this] { return ended_ || !m_hWnd || afx::automation::QuitRequested(); });
    }
    const int result = ended_ ? result_ : IDCANCEL;
    running_ = false;
    held_ = false;
    auto& stack = afx::ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    // The owner is enabled again before the dialog goes, so that it gets the focus back.
    if (disabledOwner && IsWindow(disabledOwner)) {
        CWnd* w = CWnd::FromHandle(disabledOwner);
        w->EnableWindow(TRUE);
        if (w->Impl()) w->Impl()->Activate();
    }
    if (m_hWnd) DestroyWindow();
    if (traced) seams::Trace("dialog_closed", {{"id", id}, {"result", result}});
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (Impl()) afx::ReleaseCaptureWithin(Impl());
    if (Impl()) Impl()->HideNow();
}

int CDialog::GetDefID() const { return Impl() ? Impl()->defaultButton : IDOK; }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message != WM_KEYDOWN) return FALSE;
    switch (pMsg->wParam) {
        case VK_RETURN: {
            // Enter presses the focused push button, else the default button (even a hidden one).
            WindowImpl* focus = Impl() ? Impl()->focus : nullptr;
            int id = GetDefID();
            if (WindowImpl::IsLive(focus) && focus->kind == afx::ControlKind::Button)
                id = focus->id;
            if (WindowImpl* button = Impl() ? Impl()->ChildById(id) : nullptr) {
                if (!button->enabled) {
                    MessageBeep(0);
                    return TRUE;
                }
                afx::NotifyParent(button, BN_CLICKED);
            } else {
                SendMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
            }
            return TRUE;
        }
        case VK_SPACE: {
            // Space presses the focused push button.
            WindowImpl* focus = Impl() ? Impl()->focus : nullptr;
            if (!WindowImpl::IsLive(focus) || focus->kind != afx::ControlKind::Button ||
                !focus->enabled)
                return FALSE;
            afx::NotifyParent(focus, BN_CLICKED);
            return TRUE;
        }
        case VK_TAB: {
            // Tab and Shift+Tab walk the controls that take the focus, in template order.
            WindowImpl* impl = Impl();
            if (!impl) return FALSE;
            WindowImpl* from = WindowImpl::IsLive(impl->focus) ? impl->focus : nullptr;
            WindowImpl* next = afx::NextTabStop(impl, from, afx::ShiftDown());
            if (next && next->wnd) next->wnd->SetFocus();
            return TRUE;
        }
        case VK_ESCAPE: {
            WindowImpl* cancel = Impl() ? Impl()->ChildById(IDCANCEL) : nullptr;
            if (cancel && !cancel->enabled) return TRUE;
            SendMessage(WM_COMMAND, IDCANCEL,
                        cancel ? reinterpret_cast<LPARAM>(cancel->Hwnd()) : 0);
            return TRUE;
        }
        case VK_F1: {
            HELPINFO info{};
            info.cbSize = sizeof info;
            info.iContextType = 1;
            CWnd* focus = GetFocus();
            info.iCtrlId = focus && focus != this ? focus->GetDlgCtrlID() : 0;
            SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            return TRUE;
        }
        default:
            return FALSE;
    }
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (code != BN_CLICKED) return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnClose() { SendMessage(WM_COMMAND, IDCANCEL, 0); }

void CDialog::OnSysCommand(UINT nID, LPARAM lParam) { CWnd::OnSysCommand(nID, lParam); }

HBRUSH CDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
}

// ---- data exchange ----

void CDataExchange::Fail() { m_failed = true; }

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (pDX->m_failed) return;
    pDX->m_idLastControl = id;
    if (control.m_hWnd == nullptr) control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    if (pDX->m_failed) return;
    pDX->m_idLastControl = id;
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item) return;
    if (pDX->m_bSaveAndValidate)
        item->GetWindowText(value);
    else
        item->SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    if (pDX->m_failed) return;
    pDX->m_idLastControl = id;
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item) return;
    if (pDX->m_bSaveAndValidate) {
        CString text;
        item->GetWindowText(text);
        char* end = nullptr;
        const long v = std::strtol(text, &end, 10);
        if (text.IsEmpty() || (end && *end)) {
            AfxMessageBox("请输入一个整数。", MB_ICONEXCLAMATION);
            pDX->Fail();
            return;
        }
        value = static_cast<int>(v);
    } else {
        CString text;
        text.Format("%d", value);
        item->SetWindowText(text);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars) {
    if (pDX->m_failed) return;
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(pDX->m_idLastControl);
    if (!pDX->m_bSaveAndValidate) {
        if (auto* edit = dynamic_cast<CEdit*>(item))
            edit->SetLimitText(static_cast<UINT>(maxChars));
        else if (item && item->Impl() && item->Impl()->kind == afx::ControlKind::Edit)
            item->Impl()->editLimit = static_cast<UINT>(maxChars);
        return;
    }
    if (crt::Cp936Length(value.str()) > static_cast<size_t>(maxChars)) {
        CString message;
        message.Format("输入的内容不能超过 %d 个字符。", maxChars);
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
    if (pDX->m_failed) return;
    pDX->m_idLastControl = id;
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item || !item->Impl()) return;
    WindowImpl* impl = item->Impl();
    if (pDX->m_bSaveAndValidate) {
        index = impl->comboSel;
    } else {
        impl->comboSel =
            index >= 0 && index < static_cast<int>(impl->comboItems.size()) ? index : -1;
        impl->SyncControl();
    }
}
