// Drop-down list combo boxes, on a QComboBox: choosing an item selects it and notifies the
// parent (CBN_SELCHANGE).
#include <QComboBox>
#include <QFontMetrics>
#include <algorithm>

#include "platform/qt/control.h"

namespace afx {
namespace {

// A drop-down list combo box is one line tall, as on every desktop; the height its template
// gives is that of the control with its list opened.
constexpr int kComboHeight = 20;

class ComboBox : public ControlView {
  public:
    explicit ComboBox(QComboBox* combo) : ControlView(combo), combo_(combo) {}

    void SyncText(const WindowImpl&) override {}

    void SyncState(const WindowImpl& impl) override {
        bool same = combo_->count() == static_cast<int>(impl.comboItems.size());
        for (int i = 0; same && i < combo_->count(); ++i)
            same = combo_->itemText(i) == Q(impl.comboItems[static_cast<size_t>(i)]);
        if (!same) {
            combo_->clear();
            for (const std::string& s : impl.comboItems) combo_->addItem(Q(s));
        }
        combo_->setCurrentIndex(impl.comboSel);
    }

  private:
    QComboBox* combo_;
};

}  // namespace

std::unique_ptr<ControlView> CreateComboBox(WindowImpl* impl, const ControlTemplate& c,
                                            QWidget* parent) {
    const PixelRect pr = ControlPixelRect(c);
    impl->rect.bottom = impl->rect.top + kComboHeight;
    auto* combo = new QComboBox(parent);
    // The opened list fills the rest of the template's height below the control.
    const int rowHeight = QFontMetrics(DialogFont()).height() + 2;
    combo->setMaxVisibleItems(std::max(1, (pr.cy - kComboHeight) / rowHeight));
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [impl](int index) {
        if (impl->native->syncing) return;
        impl->comboSel = index;
        NotifyParent(impl, CBN_SELCHANGE);
    });
    return std::make_unique<ComboBox>(combo);
}

}  // namespace afx
