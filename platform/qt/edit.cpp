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
    Cp936LimitValidator(WindowImpl* impl, QObject* parent) : QValidator(parent), impl_(impl) {}
    State validate(QString& input, int&) const override {
        const QByteArray utf8 = input.toUtf8();
        if (crt::Cp936Length(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))) >
            impl_->editLimit)
            return Invalid;
        return Acceptable;
    }

  private:
    WindowImpl* impl_;
};

class Edit : public ControlView {
  public:
    explicit Edit(QLineEdit* edit) : ControlView(edit), edit_(edit) {}

    void SyncText(const WindowImpl& impl) override {
        if (edit_->text() != Q(impl.text)) edit_->setText(Q(impl.text));
    }

    UINT ColourMessage() const override { return WM_CTLCOLOREDIT; }

  protected:
    bool FillsBackground() const override { return false; }

  private:
    QLineEdit* edit_;
};

}  // namespace

std::unique_ptr<ControlView> CreateEdit(WindowImpl* impl, const ControlTemplate&, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new Cp936LimitValidator(impl, edit));
    QObject::connect(edit, &QLineEdit::textEdited, [impl](const QString& t) {
        if (impl->native->syncing) return;
        impl->text = t.toStdString();
        NotifyParent(impl, EN_CHANGE);
    });
    return std::make_unique<Edit>(edit);
}

}  // namespace afx
