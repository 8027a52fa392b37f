// Photographs of a window's client area as it is shown: the window surface with the controls'
// widgets drawn over it.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <mutex>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

bool GrabClientImage(WindowImpl* impl, QImage* out) {
    if (!impl || !impl->wnd) return false;
    std::shared_ptr<gdi::Surface> s = impl->wnd->GetSurface();
    if (!s) return false;
    QImage image;
    {
        std::lock_guard<std::mutex> lock(s->Mutex());
        image = QImage(reinterpret_cast<const uchar*>(s->Pixels()), s->Width(), s->Height(),
                       s->Stride() * 4, QImage::Format_RGB32)
                    .copy();
    }
    // Controls shown over the surface.
    if (impl->native->client) {
        QPainter painter(&image);
        for (WindowImpl* child : impl->children) {
            QWidget* widget = child->native->Widget();
            if (!child->visible || !widget) continue;
            widget->render(&painter, QPoint(child->rect.left, child->rect.top), QRegion(),
                           QWidget::DrawChildren |
                               (widget->autoFillBackground() ? QWidget::DrawWindowBackground
                                                             : QWidget::RenderFlags()));
        }
    }
    *out = image;
    return true;
}

}  // namespace

bool SaveClientPngFile(WindowImpl* impl, const std::string& file) {
    QImage image;
    return GrabClientImage(impl, &image) && image.save(QString::fromStdString(file), "PNG");
}

bool GrabClientPixels(WindowImpl* impl, std::vector<uint32_t>* pixels, int* width, int* height) {
    QImage image;
    if (!GrabClientImage(impl, &image)) return false;
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
