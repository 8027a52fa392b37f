#include "game/extras/ad_picture.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/afxwin.h"

CAdPicture::CAdPicture(CWnd* owner) : owner_(owner), player_(*this) {}

CAdPicture::~CAdPicture() { player_.Stop(); }

bool CAdPicture::Load(const std::string& fileName) { return player_.Load(fileName); }

void CAdPicture::SetPosition(int x, int y) {
    // The thread reads the position: move the picture only while it is not drawing.
    const bool wasRunning = player_.State() == gif::kRunning;
    if (wasRunning) player_.Stop();
    x_ = x;
    y_ = y;
    if (wasRunning) player_.Start();
}

void CAdPicture::Start() { player_.Start(); }

int CAdPicture::Stop() { return player_.Stop(); }

void CAdPicture::BeginDrawing(std::uint32_t* canvas, int width, int height) {
    windowDc_ = owner_->GetDC();
    // The window is not on screen yet when the thread starts, so the canvas starts as the
    // dialog's background: what transparent pixels of the first frames show.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t background = gdi::PixelFromColor(face) & 0x00FFFFFFu;
    std::fill(canvas, canvas + std::size_t(width) * height, background);
}

void CAdPicture::Present(const std::uint32_t* canvas, int width, int height) {
    if (!windowDc_ || width == 0 || height == 0) return;
    // The canvas words 0x00RRGGBB are the memory layout of a 32-bit top-down DIB.
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    windowDc_->SetDIBitsToDevice(x_, y_, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), canvas,
                                 &info, DIB_RGB_COLORS);
}

void CAdPicture::EndDrawing() {
    if (windowDc_) owner_->ReleaseDC(windowDc_);
    windowDc_ = nullptr;
}
