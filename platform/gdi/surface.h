// A pixel target for device contexts: the body of a bitmap, or the client image of a window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/gditypes.h"

namespace gdi {

// Pixels are 32-bit words 0xFFRRGGBB, rows top-down, `Stride()` words apart: the layout of
// QImage::Format_RGB32. The top byte is always 0xFF. A monochrome surface (the body of a
// one-bit bitmap) holds only 0xFF000000 (bit 0) and 0xFFFFFFFF (bit 1).
//
// Every drawing operation of a CDC locks the surface's mutex for the time it touches the
// pixels, so a window surface can be drawn from one thread while another presents it. After
// an operation has changed pixels, and after the mutex is released again, the change hook (if
// any) is called on the drawing thread with the changed rectangle.
class Surface {
  public:
    enum class Format { Rgb32, Mono };

    Surface(int width, int height, Format format = Format::Rgb32);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return width_; }  // in pixels
    Format GetFormat() const { return format_; }
    bool IsMono() const { return format_ == Format::Mono; }

    // Direct access; hold Mutex() while another thread may draw.
    uint32_t* Pixels() { return pixels_.data(); }
    const uint32_t* Pixels() const { return pixels_.data(); }
    uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }

    std::mutex& Mutex() { return mutex_; }

    // Changes the size (a window was resized). The kept area keeps its pixels, new area is
    // `fill`. Takes the mutex itself.
    void Resize(int width, int height, uint32_t fill = 0xFF000000u);

    // Called with the changed rectangle (clipped to the surface) after drawing operations.
    void SetChangeHook(std::function<void(const RECT&)> hook);
    // Used by CDC after it released the mutex; calls the hook if one is set.
    void NotifyChanged(const RECT& changed);

  private:
    int width_;
    int height_;
    Format format_;
    std::vector<uint32_t> pixels_;
    std::mutex mutex_;
    std::mutex hookMutex_;
    std::function<void(const RECT&)> hook_;
};

// Converts between the surface pixel word and COLORREF.
constexpr uint32_t PixelFromColor(COLORREF c) {
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace gdi
