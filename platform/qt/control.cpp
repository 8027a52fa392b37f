// What every control kind shares: the widget of each kind, the state mirrored into it, its
// font, tooltip and colours.
#include "platform/qt/control.h"

#include <QPalette>
#include <QVariant>

namespace afx {

void ControlView::ApplyColours(COLORREF textColour, bool hollow, COLORREF fill) {
    QPalette pal = widget_->palette();
    const QColor text(GetRValue(textColour), GetGValue(textColour), GetBValue(textColour));
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    if (!hollow) {
        const QColor bg(GetRValue(fill), GetGValue(fill), GetBValue(fill));
        pal.setColor(QPalette::Window, bg);
        pal.setColor(QPalette::Base, bg);
    }
    widget_->setAutoFillBackground(!hollow && FillsBackground());
    widget_->setPalette(pal);
    widget_->update();
}

std::unique_ptr<ControlView> CreateControlView(QtWindow* window, const ControlParams& params,
                                               QWidget* parent) {
    switch (params.kind) {
        case ControlWidget::Label:
        case ControlWidget::IconLabel:
            return CreateLabel(window, params, parent);
        case ControlWidget::Button:
            return CreateButton(window, params, parent);
        case ControlWidget::Edit:
            return CreateEdit(window, params, parent);
        case ControlWidget::ComboBox:
            return CreateComboBox(window, params, parent);
        case ControlWidget::ReportList:
            return CreateReportList(window, params, parent);
    }
    return nullptr;
}

void QtWindow::SyncState() {
    if (!control) return;
    syncing = true;
    control->SyncState(*state);
    control->Widget()->setToolTip(Q(state->toolTip));
    syncing = false;
}

void QtWindow::SetFont(CFont* font) {
    if (QWidget* widget = Widget()) widget->setFont(FontFromCFont(font));
}

void QtWindow::SetToolTip(const std::string& text) {
    if (QWidget* widget = Widget()) widget->setToolTip(Q(text));
    if (client) client->setToolTip(Q(text));
}

ColourRole QtWindow::Colours() const { return control ? control->Colours() : ColourRole::None; }

void QtWindow::ShowColours(COLORREF textColour, bool hollow, COLORREF fill) {
    if (control) control->ApplyColours(textColour, hollow, fill);
}

}  // namespace afx
