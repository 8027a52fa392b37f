// How the program's own widgets look on the desktop: one Song-style font for every text the
// program shows (menus, the system menu substitute, tooltips, dialogs, message boxes), the
// program's icons as crisp pixels, and a style whose drop-down lists open below their combo box.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QProxyStyle>
#include <QStyle>
#include <QToolTip>
#include <cmath>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

// The Song-style face that shows 宋体 (and the dialog fonts that stand for it).
const QString kSongFamily = QStringLiteral("AR PL UMing CN");
// The face of every other font the program asks for.
const QString kFallbackFamily = QStringLiteral("Unifont");
constexpr int kDialogFontPixels = 12;

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

QFont DialogFont() {
    QFont f(kSongFamily);
    f.setPixelSize(kDialogFontPixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QFont FontFromCFont(CFont* font) {
    LOGFONT lf{};
    if (!font || !font->GetLogFont(&lf)) return DialogFont();
    const std::string face(lf.lfFaceName);
    const bool song =
        face == "宋体" || face == "SimSun" || face == "MS Shell Dlg" || face == "AR PL UMing";
    QFont f(song ? kSongFamily : kFallbackFamily);
    int px = lf.lfHeight < 0 ? -lf.lfHeight : (lf.lfHeight > 0 ? lf.lfHeight : kDialogFontPixels);
    f.setPixelSize(px);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    f.setItalic(lf.lfItalic != 0);
    f.setBold(lf.lfWeight >= FW_BOLD);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

SIZE MeasureText(const std::string& text, bool bold) {
    QFont font = DialogFont();
    font.setBold(bold);
    const QFontMetrics metrics(font);
    return SIZE{metrics.horizontalAdvance(Q(text)), metrics.height()};
}

QPixmap PixmapFromIcon(HICON icon) {
    const gdi::IconImage* img = GetIconImage(icon);
    if (!img || img->width <= 0 || img->height <= 0) return QPixmap();
    QImage image(img->width, img->height, QImage::Format_ARGB32);
    for (int y = 0; y < img->height; ++y) {
        for (int x = 0; x < img->width; ++x) {
            const size_t i = static_cast<size_t>(y) * img->width + x;
            uint32_t argb = i < img->argb.size() ? img->argb[i] : 0;
            const bool transparent = i < img->andMask.size() && img->andMask[i];
            if ((argb >> 24) == 0 && !transparent) argb |= 0xFF000000u;  // icons without alpha
            if (transparent && (argb >> 24) == 0xFF) argb &= 0x00FFFFFFu;
            image.setPixel(x, y, argb);
        }
    }
    return QPixmap::fromImage(image);
}

// Icons are the program's own pixels: on a screen with several device pixels to a logical
// pixel each icon pixel becomes a block of whole device pixels, never a smoothed blend.
QPixmap CrispPixmap(HICON icon, qreal deviceRatio) {
    QPixmap pixmap = PixmapFromIcon(icon);
    const int factor = static_cast<int>(std::ceil(deviceRatio - 0.01));
    if (pixmap.isNull() || factor <= 1) return pixmap;
    QPixmap scaled =
        pixmap.scaled(pixmap.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled.setDevicePixelRatio(factor);
    return scaled;
}

void QtWindow::ShowMessageIcon(MessageIcon icon, int size) {
    auto* label = qobject_cast<QLabel*>(Widget());
    if (!label) return;
    QStyle::StandardPixmap which = QStyle::SP_MessageBoxInformation;
    switch (icon) {
        case MessageIcon::Critical:
            which = QStyle::SP_MessageBoxCritical;
            break;
        case MessageIcon::Question:
            which = QStyle::SP_MessageBoxQuestion;
            break;
        case MessageIcon::Warning:
            which = QStyle::SP_MessageBoxWarning;
            break;
        case MessageIcon::Information:
            break;
    }
    label->setPixmap(label->style()->standardIcon(which, nullptr, label).pixmap(QSize(size, size)));
}

}  // namespace afx
