// Dialogs: CDialog, windows made from templates and run modally or modeless, and the data
// exchange between a dialog's members and its controls.
#pragma once

#include <memory>

#include "platform/afx/wnd.h"
#include "platform/seams/seams.h"

// ---- data exchange -----------------------------------------------------------------------------
class CDataExchange {
  public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_failed = false;
    // Validation failed at the last control: the caller stops exchanging.
    void Fail();
};
// Binds `control` to dialog control `id` (once; calls its PreSubclassWindow).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// The window text of control `id` <-> `value`.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Edit control: limits input to `maxChars` (code page 936 bytes) when loading; when saving,
// fails with a message if the text is longer.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
// Combo box selection index (-1 for none).
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);

// ---- dialogs ----------------------------------------------------------------------------------
class CDialog : public CWnd {
  public:
    // A dialog from the registered template `templateId` (afx::RegisterDialogTemplate).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window from the template (controls, menu, size), runs OnInitDialog, shows it
    // and runs a nested message loop until EndDialog; destroys the window and returns the
    // result. Traced as "dialog" {id, caption} (after OnInitDialog) and "dialog_closed" {id,
    // result}. With the modal responder enabled, a dialog that is not run live (see
    // afx/automation.h) takes its answer from the queue: ok/yes -> IDOK (through OnOK), cancel/no
    // -> IDCANCEL (through OnCancel), text T -> T typed into the first edit control, then OK.
    // Returns -1 when the template is missing.
    virtual INT_PTR DoModal();
    // Modeless creation (shown when the template has WS_VISIBLE).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the modal loop with `result` after the current message.
    void EndDialog(int result);
    UINT GetTemplateId() const { return templateId_; }
    // The id of the default push button (IDOK unless the template says otherwise).
    int GetDefID() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;

    // Framework internals.
    bool IsModalRunning() const { return running_; }
    int ModalResult() const { return result_; }
    // Answers the dialog as the modal responder does: ok/yes press OK, cancel/no press Cancel,
    // text T types T into the first edit control and then presses OK.
    virtual void Answer(const seams::Answer& answer);
    // True while the dialog runs live because the responder's answer for it was "hold".
    bool IsHeld() const { return held_; }

  protected:
    // A dialog from a template of the caller's own instead of a registered one; it is neither
    // answered by the responder nor traced (message boxes are, in their own terms).
    CDialog(const afx::DialogTemplate& t, CWnd* parent, bool held);

    UINT templateId_;
    CWnd* parent_;

  private:
    std::shared_ptr<const afx::DialogTemplate> ownTemplate_;
    bool running_ = false;
    bool ended_ = false;
    bool held_ = false;
    int result_ = -1;
    friend class afx::WindowImpl;
};
