// Push buttons, on a QPushButton: a click notifies the parent (BN_CLICKED).
#include <QPushButton>

#include "platform/qt/control.h"

namespace afx {
namespace {

class Button : public ControlView {
  public:
    explicit Button(QPushButton* button) : ControlView(button), button_(button) {}

    void SyncText(const ControlState& state) override { button_->setText(Q(state.text)); }

  private:
    QPushButton* button_;
};

}  // namespace

std::unique_ptr<ControlView> CreateButton(QtWindow* window, const ControlParams& params,
                                          QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setDefault(params.defaultButton);
    QObject::connect(button, &QPushButton::clicked, [window] {
        if (!window->syncing) window->sink->Clicked();
    });
    return std::make_unique<Button>(button);
}

}  // namespace afx
