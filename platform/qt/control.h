// The dialog controls' widgets, one kind to a file behind this one interface: each kind creates
// its widget, mirrors the control's text and state into it and takes the colours its parent
// gives it. Private to platform/qt.
#pragma once

#include <QWidget>
#include <memory>

#include "platform/qt/widgets.h"

namespace afx {

class ControlView {
  public:
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    // The widget, a child of the dialog's client area (Qt owns it).
    QWidget* Widget() const { return widget_; }

    // The window text into the widget.
    virtual void SyncText(const ControlState& state) = 0;
    // The rest of the control's state: items, selection, columns, rows, icon.
    virtual void SyncState(const ControlState&) {}

    // Which of the parent's colours the control takes; none for kinds that keep the desktop's
    // colours.
    virtual ColourRole Colours() const { return ColourRole::None; }
    // Shows the text in `textColour` and, unless `hollow`, on a background of `fill`.
    void ApplyColours(COLORREF textColour, bool hollow, COLORREF fill);

    // How far below its rectangle (`height` pixels tall) the widget has to reach to show all
    // of its text.
    virtual int OverhangBelow(int) const { return 0; }

  protected:
    explicit ControlView(QWidget* widget) : widget_(widget) {}
    // Whether a solid background colour fills the whole widget; a field that paints its own
    // base (an edit) takes the colour there only.
    virtual bool FillsBackground() const { return true; }

  private:
    QWidget* widget_;
};

// The widget of a control of `params`'s kind for `window`, on `parent`. A kind may settle the
// control's height here (a drop-down list is one line tall whatever its template says).
std::unique_ptr<ControlView> CreateControlView(QtWindow* window, const ControlParams& params,
                                               QWidget* parent);

// Each kind's maker (platform/qt/<kind>.cpp).
std::unique_ptr<ControlView> CreateLabel(QtWindow* window, const ControlParams& params,
                                         QWidget* parent);
std::unique_ptr<ControlView> CreateButton(QtWindow* window, const ControlParams& params,
                                          QWidget* parent);
std::unique_ptr<ControlView> CreateEdit(QtWindow* window, const ControlParams& params,
                                        QWidget* parent);
std::unique_ptr<ControlView> CreateComboBox(QtWindow* window, const ControlParams& params,
                                            QWidget* parent);
std::unique_ptr<ControlView> CreateReportList(QtWindow* window, const ControlParams& params,
                                              QWidget* parent);

}  // namespace afx
