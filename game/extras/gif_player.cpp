#include "game/extras/gif_player.h"

#include <algorithm>

#include "platform/seams/seams.h"

namespace gif {

Animation::Animation(Stream& stream) : stream_(stream) {}

void Animation::Begin(std::uint32_t background) {
    width_ = stream_.ScreenWidth();
    height_ = stream_.ScreenHeight();
    canvas_.assign(std::size_t(width_) * height_, background);
    patch_ = Patch();
    stream_.SetDisposal(kDisposalNone);
}

bool Animation::Step() {
    // Restoring to the background and to the previous picture both put back what lay under the
    // previous frame before it was drawn.
    const int previousDisposal = stream_.Control().disposal;
    if ((previousDisposal == kDisposalRestoreBackground ||
         previousDisposal == kDisposalRestorePrevious) &&
        patch_.saved) {
        RestorePatch();
    }
    stream_.SetDisposal(kDisposalNone);

    if (!stream_.NextFrame(frame_)) return false;
    const int disposal = stream_.Control().disposal;
    if (disposal == kDisposalRestoreBackground || disposal == kDisposalRestorePrevious) {
        SavePatch(frame_);
    }
    Compose(frame_);
    return true;
}

std::uint32_t Animation::DelayMs() const {
    const int delay = stream_.Control().delay;
    return delay == 0 ? kDefaultDelayMs : std::uint32_t(delay) * 10;
}

void Animation::SavePatch(const Frame& frame) {
    patch_.saved = true;
    patch_.left = frame.left;
    patch_.top = frame.top;
    patch_.width = frame.visibleWidth;
    patch_.height = frame.visibleHeight;
    patch_.pixels.resize(std::size_t(patch_.width) * patch_.height);
    if (patch_.pixels.empty()) return;
    for (int y = 0; y < patch_.height; ++y) {
        const std::uint32_t* from = &canvas_[std::size_t(patch_.top + y) * width_ + patch_.left];
        std::copy(from, from + patch_.width, &patch_.pixels[std::size_t(y) * patch_.width]);
    }
}

void Animation::RestorePatch() {
    patch_.saved = false;
    if (patch_.pixels.empty()) return;
    for (int y = 0; y < patch_.height; ++y) {
        const std::uint32_t* from = &patch_.pixels[std::size_t(y) * patch_.width];
        std::copy(from, from + patch_.width,
                  &canvas_[std::size_t(patch_.top + y) * width_ + patch_.left]);
    }
}

// Every pixel whose colour equals the transparent colour lets the canvas show through, whatever
// its index: the frame is laid on through a mask built from colours.
void Animation::Compose(const Frame& frame) {
    if (frame.visibleWidth == 0) return;
    for (int y = 0; y < frame.visibleHeight; ++y) {
        std::uint32_t* to = &canvas_[std::size_t(frame.top + y) * width_ + frame.left];
        for (int x = 0; x < frame.visibleWidth; ++x) {
            const std::uint32_t colour = frame.ColourAt(x, y);
            if (frame.transparent && colour == frame.transparentColour) continue;
            to[x] = colour;
        }
    }
}

std::uint32_t PlayerHost::TickCount() { return ::GetTickCount(); }

void PlayerHost::Sleep(std::uint32_t ms) { ::Sleep(ms); }

Player::Player(PlayerHost& host) : host_(host) {}

Player::~Player() { Stop(); }

bool Player::Load(const std::string& fileName) {
    Stop();
    return stream_.OpenFile(fileName);
}

bool Player::LoadBytes(const std::uint8_t* bytes, std::size_t size) {
    Stop();
    return stream_.Open(bytes, size);
}

void Player::Start() {
    if (!stream_.HasData() || state_.load() == kRunning) return;
    if (thread_.joinable()) thread_.join();
    stream_.Rewind();
    state_.store(kRunning);
    thread_ = std::thread(&Player::Run, this);
}

int Player::Stop() {
    if (state_.load() == kRunning) {
        state_.store(kStopRequested);
        while (state_.load() != kStopped) host_.Sleep(kStopPollMs);
    }
    if (thread_.joinable()) thread_.join();
    return state_.load();
}

void Player::Run() {
    Animation animation(stream_);
    animation.Begin(0);
    const int width = stream_.ScreenWidth();
    const int height = stream_.ScreenHeight();
    host_.BeginDrawing(animation.Canvas(), width, height);
    while (state_.load() != kStopRequested) {
        const std::uint32_t start = host_.TickCount();
        animation.Step();
        host_.Present(animation.Canvas(), width, height);
        const std::uint32_t delay = animation.DelayMs();
        while (state_.load() != kStopRequested && host_.TickCount() - start < delay) {
            host_.Sleep(kStopPollMs);
        }
    }
    host_.EndDrawing();
    state_.store(kStopped);
}

}  // namespace gif
