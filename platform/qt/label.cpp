// Static controls: text labels and icons, on a QLabel.
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

#include "platform/qt/control.h"

namespace afx {
namespace {

// Static controls show '&' as a mnemonic prefix: "&&" is a literal '&', a lone '&' is dropped.
QString StaticText(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return Q(out);
}

class Label : public ControlView {
  public:
    explicit Label(QLabel* label) : ControlView(label), label_(label) {}

    void SyncText(const WindowImpl& impl) override {
        if (impl.kind == ControlKind::Static)
            label_->setText((impl.style & SS_NOPREFIX) ? Q(impl.text) : StaticText(impl.text));
    }

    void SyncState(const WindowImpl& impl) override {
        if (impl.kind == ControlKind::Icon || impl.staticIcon)
            label_->setPixmap(CrispPixmap(impl.staticIcon, label_->devicePixelRatioF()));
    }

    UINT ColourMessage() const override { return WM_CTLCOLORSTATIC; }

    // A label fitted to its text is as tall as the font's cell, and the underline of an
    // underlined font (a hyperlink's) lies just below it: the label's widget reaches down far
    // enough to show it. Its background is the dialog's, so nothing else changes.
    int OverhangBelow(int height) const override {
        if (!label_->font().underline()) return 0;
        const QFontMetrics metrics(label_->font());
        return std::max(
            0, metrics.ascent() + metrics.underlinePos() + 2 * metrics.lineWidth() - height);
    }

  private:
    QLabel* label_;
};

}  // namespace

std::unique_ptr<ControlView> CreateLabel(WindowImpl*, const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMouseTracking(true);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment a = Qt::AlignTop;
    const DWORD type = c.style & SS_TYPEMASK;
    if (type == SS_CENTER)
        a = Qt::AlignHCenter | Qt::AlignTop;
    else if (type == SS_RIGHT)
        a = Qt::AlignRight | Qt::AlignTop;
    else
        a = Qt::AlignLeft | Qt::AlignTop;
    if (c.style & SS_CENTERIMAGE) a = (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    label->setAlignment(a);
    label->setWordWrap(c.kind == ControlKind::Static && !(c.style & SS_CENTERIMAGE));
    return std::make_unique<Label>(label);
}

}  // namespace afx
