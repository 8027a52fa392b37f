// CDialog: windows from templates, modal loops, the dialog keys, answers from the responder,
// and data exchange.
#include "platform/afx/automation.h"
#include "platform/crt/codepage.h"
#include "platform/qt/backend.h"
#include "platform/qt/widgets.h"

using afx::WindowImpl;

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    if (running_) {
        // Destroyed while its loop runs: end the loop.
        ended_ = true;
    }
    auto& stack = afx::ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
}

namespace {

bool CreateFromTemplate(CDialog* dlg, UINT templateId, CWnd* parent) {
    const afx::DialogTemplate* t = afx::FindDialogTemplate(static_cast<int>(templateId));
    if (!t) return false;
    afx::EnsureQt();
    auto* impl = new WindowImpl(nullptr, nullptr);
    dlg->AttachImpl(impl);
    impl->CreateTopLevel(*t);
    // Centred over the owner (or the screen); OnInitDialog may place it elsewhere.
    CWnd* owner = parent ? parent : afx::TopWindowForInput();
    if (owner == dlg) owner = nullptr;
    dlg->CenterWindow(owner && owner->m_hWnd ? owner : nullptr);
    impl->visible = (t->style & WS_VISIBLE) != 0;
    impl->Invalidate(nullptr, true);
    return true;
}

void InitDialog(CDialog* dlg) {
    dlg->OnInitDialog();
    if (WindowImpl* impl = dlg->Impl())
        for (WindowImpl* child : impl->children) child->ApplyControlColours();
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
    if (!CreateFromTemplate(this, templateId, parent)) return FALSE;
    InitDialog(this);
    if (Impl()) Impl()->SyncVisible();
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    const bool outermost = afx::ModalStack().empty();
    if (!CreateFromTemplate(this, templateId_, parent_)) return -1;
    running_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    afx::ModalStack().push_back(this);
    InitDialog(this);
    const int id = static_cast<int>(templateId_);
    seams::Trace("dialog", {{"id", id}, {"caption", Caption(this)}});

    if (!ended_ && m_hWnd) {
        const bool live =
            outermost || afx::automation::IsLiveDialog(id) || !seams::ResponderEnabled();
        if (!live) {
            seams::Answer answer;
            if (seams::TakeAnswer("dialog " + std::to_string(id) + " \"" + Caption(this) + "\"",
                                  &answer)) {
                switch (answer.kind) {
                    case seams::Answer::Text:
                        for (WindowImpl* child : Impl()->children) {
                            if (child->kind == afx::ControlKind::Edit) {
                                if (auto* edit = dynamic_cast<CEdit*>(
                                        child->wnd ? child->wnd : child->ownedWnd.get())) {
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
                }
            } else if (!ended_) {
                EndDialog(IDCANCEL);
            }
        }
    }
    if (!ended_ && m_hWnd) {
        WindowImpl* impl = Impl();
        impl->visible = true;
        if (impl->frame) {
            impl->frame->setWindowModality(outermost ? Qt::NonModal : Qt::ApplicationModal);
            impl->SyncVisible();
        }
        afx::RunModalLoop([this] { return ended_ || !m_hWnd || afx::automation::QuitRequested(); });
    }
    const int result = ended_ ? result_ : IDCANCEL;
    running_ = false;
    auto& stack = afx::ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    if (m_hWnd) DestroyWindow();
    seams::Trace("dialog_closed", {{"id", id}, {"result", result}});
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
    if (Impl() && Impl()->frame) Impl()->frame->hide();
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
