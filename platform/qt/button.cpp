// Push buttons, on a QPushButton: a click notifies the parent (BN_CLICKED).
#include <QPushButton>

#include "platform/qt/control.h"

namespace afx {
namespace {

class Button : public ControlView {
  public:
    explicit Button(QPushButton* button) : ControlView(button), button_(button) {}

    void SyncText(const WindowImpl& impl) override { button_->setText(Q(impl.text)); }

  private:
    QPushButton* button_;
};

}  // namespace

std::unique_ptr<ControlView> CreateButton(WindowImpl* impl, const ControlTemplate& c,
                                          QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setDefault(IsDefaultButton(c));
    QObject::connect(button, &QPushButton::clicked, [impl] {
        if (!impl->native->syncing) NotifyParent(impl, BN_CLICKED);
    });
    return std::make_unique<Button>(button);
}

}  // namespace afx
