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
    Label(QLabel* label, bool icon) : ControlView(label), label_(label), icon_(icon) {}

    void SyncText(const ControlState& state) override {
        if (!icon_) label_->setText(state.noPrefix ? Q(state.text) : StaticText(state.text));
    }

    void SyncState(const ControlState& state) override {
        if (icon_ || state.staticIcon)
            label_->setPixmap(CrispPixmap(state.staticIcon, label_->devicePixelRatioF()));
    }

    ColourRole Colours() const override { return ColourRole::Static; }

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
    bool icon_;  // an icon, with no text
};

}  // namespace

std::unique_ptr<ControlView> CreateLabel(QtWindow*, const ControlParams& params, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMouseTracking(true);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment a = Qt::AlignLeft | Qt::AlignTop;
    if (params.align == LabelAlign::Centre)
        a = Qt::AlignHCenter | Qt::AlignTop;
    else if (params.align == LabelAlign::Right)
        a = Qt::AlignRight | Qt::AlignTop;
    if (params.centreVertically) a = (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    label->setAlignment(a);
    label->setWordWrap(params.wordWrap);
    return std::make_unique<Label>(label, params.kind == ControlWidget::IconLabel);
}

}  // namespace afx
