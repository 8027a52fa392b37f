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

bool WindowImpl::ReceivesMouse() const {
    const bool bound = wnd && wnd != ownedWnd.get();
    return bound || NotifiesClicks();
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

// Colours of a static or edit control come from its parent's WM_CTLCOLOR handling (which
// first offers the message to the control itself).
void WindowImpl::ApplyControlColours() {
    ControlView* view = native->control.get();
    if (!view || !parent || !parent->wnd || !wnd) return;
    const UINT message = view->ColourMessage();
    if (!message) return;
    auto scratch = std::make_shared<gdi::Surface>(1, 1);
    CDC dc;
    dc.AttachSurface(scratch);
    HBRUSH brush = reinterpret_cast<HBRUSH>(parent->wnd->SendMessage(
        message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(Hwnd())));
    COLORREF fill = 0;
    bool hollow = true;
    if (brush && !gdi::BrushInfo(brush, &fill, &hollow)) hollow = true;
    view->ApplyColours(dc.GetTextColor(), hollow, fill);
}

}  // namespace afx
