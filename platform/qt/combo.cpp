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

    void SyncText(const ControlState&) override {}

    void SyncState(const ControlState& state) override {
        bool same = combo_->count() == static_cast<int>(state.comboItems.size());
        for (int i = 0; same && i < combo_->count(); ++i)
            same = combo_->itemText(i) == Q(state.comboItems[static_cast<size_t>(i)]);
        if (!same) {
            combo_->clear();
            for (const std::string& s : state.comboItems) combo_->addItem(Q(s));
        }
        combo_->setCurrentIndex(state.comboSel);
    }

  private:
    QComboBox* combo_;
};

}  // namespace

std::unique_ptr<ControlView> CreateComboBox(QtWindow* window, const ControlParams& params,
                                            QWidget* parent) {
    const int templateHeight = params.rect.bottom - params.rect.top;
    window->ownHeight = kComboHeight;
    auto* combo = new QComboBox(parent);
    // The opened list fills the rest of the template's height below the control.
    const int rowHeight = QFontMetrics(DialogFont()).height() + 2;
    combo->setMaxVisibleItems(std::max(1, (templateHeight - kComboHeight) / rowHeight));
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [window](int index) {
        if (!window->syncing) window->sink->Chosen(index);
    });
    return std::make_unique<ComboBox>(combo);
}

}  // namespace afx
