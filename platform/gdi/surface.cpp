#include "platform/gdi/surface.h"

#include <algorithm>

namespace gdi {

Surface::Surface(int width, int height, Format format)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      format_(format),
      pixels_(static_cast<size_t>(width_) * height_, 0xFF000000u) {}

void Surface::Resize(int width, int height, uint32_t fill) {
    std::lock_guard<std::mutex> lock(mutex_);
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<uint32_t> next(static_cast<size_t>(width) * height, fill | 0xFF000000u);
    const int keepW = std::min(width, width_);
    const int keepH = std::min(height, height_);
    for (int y = 0; y < keepH; ++y) {
        std::copy_n(pixels_.data() + static_cast<size_t>(y) * width_, keepW,
                    next.data() + static_cast<size_t>(y) * width);
    }
    pixels_.swap(next);
    width_ = width;
    height_ = height;
}

void Surface::SetChangeHook(std::function<void(const RECT&)> hook) {
    std::lock_guard<std::mutex> lock(hookMutex_);
    hook_ = std::move(hook);
}

void Surface::NotifyChanged(const RECT& changed) {
    std::function<void(const RECT&)> hook;
    {
        std::lock_guard<std::mutex> lock(hookMutex_);
        hook = hook_;
    }
    if (hook) hook(changed);
}

}  // namespace gdi
