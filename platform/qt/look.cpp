// How the program's own widgets look on the desktop: one Song-style font for every text the
// program shows (menus, the system menu substitute, tooltips, dialogs, message boxes), and a
// style whose drop-down lists open below their combo box.
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProxyStyle>
#include <QStyle>
#include <QToolTip>

#include "platform/qt/backend.h"

namespace afx {
namespace {

class DesktopStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The list of a combo box drops down under the control; it never opens over it (and,
        // near a dialog's top, over the dialog's title bar).
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void ApplyDesktopLook() {
    QApplication::setStyle(new DesktopStyle());
    const QFont font = DialogFont();
    QApplication::setFont(font);
    for (const char* widgetClass : {"QMenu", "QMenuBar", "QTipLabel", "QLabel", "QPushButton"})
        QApplication::setFont(font, widgetClass);
    QToolTip::setFont(font);
}

SIZE MeasureText(const std::string& text, bool bold) {
    QFont font = DialogFont();
    font.setBold(bold);
    const QFontMetrics metrics(font);
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    return SIZE{metrics.horizontalAdvance(s), metrics.height()};
}

void ShowMessageIcon(WindowImpl* iconControl, UINT mbIcon) {
    auto* label = iconControl ? qobject_cast<QLabel*>(iconControl->widget) : nullptr;
    if (!label) return;
    QStyle::StandardPixmap which = QStyle::SP_MessageBoxInformation;
    switch (mbIcon) {
        case MB_ICONHAND:
            which = QStyle::SP_MessageBoxCritical;
            break;
        case MB_ICONQUESTION:
            which = QStyle::SP_MessageBoxQuestion;
            break;
        case MB_ICONEXCLAMATION:
            which = QStyle::SP_MessageBoxWarning;
            break;
        default:
            break;
    }
    const int size = GetSystemMetrics(SM_CXICON);
    label->setPixmap(label->style()->standardIcon(which, nullptr, label).pixmap(QSize(size, size)));
}

}  // namespace afx
