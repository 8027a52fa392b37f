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

std::unique_ptr<ControlView> CreateControlView(WindowImpl* impl, const ControlTemplate& c,
                                               QWidget* parent) {
    switch (c.kind) {
        case ControlKind::Static:
        case ControlKind::Icon:
            return CreateLabel(impl, c, parent);
        case ControlKind::Button:
            return CreateButton(impl, c, parent);
        case ControlKind::Edit:
            return CreateEdit(impl, c, parent);
        case ControlKind::ComboBox:
            return CreateComboBox(impl, c, parent);
        case ControlKind::ListView:
            return CreateReportList(impl, c, parent);
    }
    return nullptr;
}

void WindowImpl::SyncControl() {
    ControlView* view = native->control.get();
    if (!view) return;
    SyncText();
    native->syncing = true;
    view->SyncState(*this);
    view->Widget()->setToolTip(Q(toolTip));
    native->syncing = false;
}

void WindowImpl::SyncFont() {
    if (QWidget* widget = native->Widget()) {
        widget->setFont(FontFromCFont(font));
        SyncGeometry();
    }
}

void WindowImpl::SyncToolTip() {
    if (QWidget* widget = native->Widget()) widget->setToolTip(Q(toolTip));
    if (native->client) native->client->setToolTip(Q(toolTip));
}

UINT WindowImpl::ControlColourMessage() const {
    ControlView* view = native->control.get();
    return view ? view->ColourMessage() : 0;
}

void WindowImpl::ShowControlColours(COLORREF textColour, bool hollow, COLORREF fill) {
    if (ControlView* view = native->control.get()) view->ApplyColours(textColour, hollow, fill);
}

}  // namespace afx
