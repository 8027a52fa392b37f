// Photographs of a window's client area as it is shown: the window surface with the controls'
// widgets drawn over it.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <mutex>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

void GrabClientImage(gdi::Surface& s, const std::vector<ShownControl>& controls, QImage* out) {
    QImage image;
    {
        std::lock_guard<std::mutex> lock(s.Mutex());
        image = QImage(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                       s.Stride() * 4, QImage::Format_RGB32)
                    .copy();
    }
    // Controls shown over the surface.
    if (!controls.empty()) {
        QPainter painter(&image);
        for (const ShownControl& shown : controls) {
            QWidget* widget = static_cast<QtWindow*>(shown.native)->Widget();
            if (!widget) continue;
            widget->render(&painter, QPoint(shown.at.x, shown.at.y), QRegion(),
                           QWidget::DrawChildren |
                               (widget->autoFillBackground() ? QWidget::DrawWindowBackground
                                                             : QWidget::RenderFlags()));
        }
    }
    *out = image;
}

}  // namespace

bool SaveClientPngFile(gdi::Surface& surface, const std::vector<ShownControl>& controls,
                       const std::string& file) {
    QImage image;
    GrabClientImage(surface, controls, &image);
    return image.save(QString::fromStdString(file), "PNG");
}

bool GrabClientPixels(gdi::Surface& surface, const std::vector<ShownControl>& controls,
                      std::vector<uint32_t>* pixels, int* width, int* height) {
    QImage image;
    GrabClientImage(surface, controls, &image);
    image = image.convertToFormat(QImage::Format_RGB32);
    *width = image.width();
    *height = image.height();
    pixels->resize(static_cast<size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        std::copy(row, row + image.width(), pixels->begin() + static_cast<long>(y) * image.width());
    }
    return true;
}

}  // namespace afx
