// Message boxes: a small modal dialog laid out for its caption, its text, the icon its style asks
// for and its buttons; answered from the modal responder when a script runs the program.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/automation.h"
#include "platform/afx/loop.h"
#include "platform/afx/templates.h"
#include "platform/afx/window.h"

using afx::WindowImpl;

namespace {

// The desktop's picture for a message box icon (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK) in icon control `impl`.
void ShowIcon(afx::WindowImpl* impl, UINT mbIcon) {
    if (!impl || !impl->native) return;
    afx::MessageIcon icon = afx::MessageIcon::Information;
    if (mbIcon == MB_ICONHAND) icon = afx::MessageIcon::Critical;
    if (mbIcon == MB_ICONQUESTION) icon = afx::MessageIcon::Question;
    if (mbIcon == MB_ICONEXCLAMATION) icon = afx::MessageIcon::Warning;
    impl->native->ShowMessageIcon(icon, GetSystemMetrics(SM_CXICON));
}

// Layout in pixels.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;  // between the icon and the text
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kButtonRowGap = 16;  // between the text and the buttons
constexpr int kMinClientWidth = 160;
// What the window manager shows in the title bar beside the caption: the window's icon, the
// close box and their padding. A box narrower than its caption plus these would hide it.
constexpr int kCaptionChrome = 96;
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0xFFFE;

struct ButtonParams {
    int id;
    const char* text;
};

std::vector<ButtonParams> ButtonsOf(UINT buttons) {
    switch (buttons) {
        case MB_OKCANCEL:
            return {{IDOK, "确定"}, {IDCANCEL, "取消"}};
        case MB_YESNO:
            return {{IDYES, "是(&Y)"}, {IDNO, "否(&N)"}};
        case MB_YESNOCANCEL:
            return {{IDYES, "是(&Y)"}, {IDNO, "否(&N)"}, {IDCANCEL, "取消"}};
        default:
            return {{IDOK, "确定"}};
    }
}

// The result of an answer from the responder (or a held box's later answer) for the buttons.
int AnswerToResult(const seams::Answer& a, UINT buttons) {
    const bool positive = a.kind == seams::Answer::Ok || a.kind == seams::Answer::Yes ||
                          a.kind == seams::Answer::Text;
    switch (buttons) {
        case MB_OKCANCEL:
            return positive ? IDOK : IDCANCEL;
        case MB_YESNO:
            return positive ? IDYES : IDNO;
        case MB_YESNOCANCEL:
            if (a.kind == seams::Answer::Cancel) return IDCANCEL;
            return positive ? IDYES : IDNO;
        default:
            return IDOK;
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

class CMessageBoxDlg : public CDialog {
  public:
    CMessageBoxDlg(const afx::DialogTemplate& t, UINT type, CWnd* owner, bool held)
        : CDialog(t, owner, held), type_(type), owner_(owner) {}

    // The box's result: Esc and the close box give Cancel where there is one, else OK where OK
    // is the only button.
    int Run() {
        const int result = static_cast<int>(DoModal());
        if (result == IDCANCEL && !HasButton(IDCANCEL)) return HasButton(IDOK) ? IDOK : IDNO;
        return result;
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (CWnd* icon = GetDlgItem(kIconId)) ShowIcon(icon->Impl(), type_ & MB_ICONMASK);
        Layout();
        // The first button has the focus: Enter and Space press it.
        if (CWnd* first = GetDlgItem(ButtonsOf(type_ & MB_TYPEMASK).front().id)) first->SetFocus();
        return FALSE;
    }

    void OnCancel() override {
        if (HasButton(IDCANCEL))
            EndDialog(IDCANCEL);
        else if (!HasButton(IDYES))
            EndDialog(IDOK);
        // Yes and No must be chosen: Esc does nothing.
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        const UINT id = LOWORD(wParam);
        if (HIWORD(wParam) == BN_CLICKED && (id == IDOK || id == IDYES || id == IDNO)) {
            EndDialog(static_cast<int>(id));
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

    void Answer(const seams::Answer& answer) override {
        if (answer.kind == seams::Answer::Hold) return;
        EndDialog(AnswerToResult(answer, type_ & MB_TYPEMASK));
    }

  private:
    bool HasButton(int id) const {
        for (const ButtonParams& b : ButtonsOf(type_ & MB_TYPEMASK))
            if (b.id == id) return true;
        return false;
    }

    void Layout() {
        CString caption, text;
        GetWindowText(caption);
        if (CWnd* label = GetDlgItem(kTextId)) label->GetWindowText(text);
        const bool hasIcon = (type_ & MB_ICONMASK) != 0;

        int textWidth = 0;
        const std::vector<std::string> lines = Lines(text.str());
        for (const std::string& line : lines)
            textWidth = std::max(textWidth, afx::MeasureText(line, false).cx);
        const int textHeight = static_cast<int>(lines.size()) * afx::MeasureText("国", false).cy;
        const int contentHeight = std::max(textHeight, hasIcon ? kIconSize : 0);
        const int textX = kMargin + (hasIcon ? kIconSize + kIconGap : 0);

        const std::vector<ButtonParams> buttons = ButtonsOf(type_ & MB_TYPEMASK);
        const int count = static_cast<int>(buttons.size());
        const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
        const int clientWidth =
            std::max({textX + textWidth + kMargin, rowWidth + 2 * kMargin,
                      afx::MeasureText(caption.str(), true).cx + kCaptionChrome, kMinClientWidth});
        const int rowY = kMargin + contentHeight + kButtonRowGap;
        const int clientHeight = rowY + kButtonHeight + kMargin;

        if (CWnd* icon = GetDlgItem(kIconId))
            icon->MoveWindow(kMargin, kMargin + (contentHeight - kIconSize) / 2, kIconSize,
                             kIconSize, FALSE);
        if (CWnd* label = GetDlgItem(kTextId))
            label->MoveWindow(textX, kMargin + (contentHeight - textHeight) / 2,
                              clientWidth - textX - kMargin, textHeight + 2, FALSE);
        int x = (clientWidth - rowWidth) / 2;
        for (const ButtonParams& b : buttons) {
            if (CWnd* button = GetDlgItem(b.id))
                button->MoveWindow(x, rowY, kButtonWidth, kButtonHeight, FALSE);
            x += kButtonWidth + kButtonGap;
        }

        const int frame = GetSystemMetrics(SM_CXDLGFRAME);
        MoveWindow(0, 0, clientWidth + 2 * frame,
                   clientHeight + 2 * frame + GetSystemMetrics(SM_CYCAPTION), FALSE);
        CenterWindow(owner_ && owner_->m_hWnd ? owner_ : nullptr);
        Invalidate(TRUE);
    }

    UINT type_;
    CWnd* owner_;
};

afx::DialogTemplate BoxTemplate(const std::string& caption, const std::string& text, UINT type) {
    afx::DialogTemplate t;
    t.caption = caption;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = 120;  // laid out in pixels when the box opens
    t.cy = 60;
    if (type & MB_ICONMASK) {
        afx::ControlTemplate icon = afx::MakeControl(kIconId, afx::ControlKind::Icon, "",
                                                     WS_CHILD | WS_VISIBLE, 0, 0, 21, 21);
        t.controls.push_back(icon);
    }
    t.controls.push_back(afx::MakeControl(kTextId, afx::ControlKind::Static, text.c_str(),
                                          WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 10,
                                          10));
    bool first = true;
    for (const ButtonParams& b : ButtonsOf(type & MB_TYPEMASK)) {
        t.controls.push_back(afx::MakeControl(
            b.id, afx::ControlKind::Button, b.text,
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, 0,
            50, 14));
        first = false;
    }
    return t;
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const std::string cap = caption ? caption : AfxGetAppName();
    const std::string body = text ? text : "";
    seams::Trace("msgbox", {{"caption", cap}, {"text", body}});
    const UINT buttons = type & MB_TYPEMASK;
    bool held = false;
    seams::Answer answer;
    if (seams::TakeAnswer("message box \"" + cap + "\": " + body, &answer)) {
        if (answer.kind != seams::Answer::Hold) return AnswerToResult(answer, buttons);
        held = true;
    } else if (seams::ResponderEnabled()) {
        return buttons == MB_OK ? IDOK : IDCANCEL;
    }

    afx::EnsureWindowSystem();
    CWnd* ownerWnd = CWnd::FromHandle(owner);
    if (!ownerWnd) ownerWnd = afx::TopWindowForInput();
    if (ownerWnd) ownerWnd = ownerWnd->GetTopLevelParent();
    CMessageBoxDlg box(BoxTemplate(cap, body, type), type, ownerWnd, held);
    const UINT icon = type & MB_ICONMASK;
    // Warnings and errors are heard as well as seen.
    if (icon == MB_ICONEXCLAMATION || icon == MB_ICONHAND) MessageBeep(icon);
    return box.Run();
}

int AfxMessageBox(const char* text, UINT type, UINT) {
    CWnd* top = afx::TopWindowForInput();
    return MessageBox(top ? top->m_hWnd : nullptr, text, AfxGetAppName(), type);
}
