// Single-line edit controls, on a QLineEdit: typing changes the window text and notifies the
// parent (EN_CHANGE); the text is limited by its length in code page 936 bytes.
#include <QLineEdit>
#include <QValidator>
#include <string_view>

#include "platform/crt/codepage.h"
#include "platform/qt/control.h"

namespace afx {
namespace {

// Edit controls limit their text by its length in code page 936 bytes.
class Cp936LimitValidator : public QValidator {
  public:
    Cp936LimitValidator(const ControlState* state, QObject* parent)
        : QValidator(parent), state_(state) {}
    State validate(QString& input, int&) const override {
        const QByteArray utf8 = input.toUtf8();
        if (crt::Cp936Length(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))) >
            state_->editLimit)
            return Invalid;
        return Acceptable;
    }

  private:
    const ControlState* state_;
};

class Edit : public ControlView {
  public:
    explicit Edit(QLineEdit* edit) : ControlView(edit), edit_(edit) {}

    void SyncText(const ControlState& state) override {
        if (edit_->text() != Q(state.text)) edit_->setText(Q(state.text));
    }

    ColourRole Colours() const override { return ColourRole::Edit; }

  protected:
    bool FillsBackground() const override { return false; }

  private:
    QLineEdit* edit_;
};

}  // namespace

std::unique_ptr<ControlView> CreateEdit(QtWindow* window, const ControlParams&, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new Cp936LimitValidator(window->state, edit));
    QObject::connect(edit, &QLineEdit::textEdited, [window](const QString& t) {
        if (!window->syncing) window->sink->Edited(t.toStdString());
    });
    return std::make_unique<Edit>(edit);
}

}  // namespace afx
