// The advert animation: frames of a GIF stream composed onto a canvas of the logical screen's size
// (transparency, disposal by saved patches), played by a thread of its own at the frames' delays.
//
// The player knows nothing of windows: a host supplies the clock and receives the canvas.
// `CAdPicture` is the host that draws on the advert window.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "game/extras/gif_decoder.h"

namespace gif {

// Frames with a delay of 0 are shown this long.
constexpr std::uint32_t kDefaultDelayMs = 50;
// How often a waiting animation thread looks for a stop request.
constexpr std::uint32_t kStopPollMs = 10;

// Composes one frame per step onto the canvas, in the order of the stream.
class Animation {
  public:
    explicit Animation(Stream& stream);

    // Allocates the canvas (screen width x screen height, 0x00RRGGBB) filled with `background`,
    // and starts with no disposal pending.
    void Begin(std::uint32_t background);
    std::uint32_t* Canvas() { return canvas_.data(); }
    const std::vector<std::uint32_t>& CanvasPixels() const { return canvas_; }

    // One tick: disposes of the previous frame, parses and decodes the next one and composes it.
    // Returns whether a frame was composed (a broken block leaves the canvas as it was).
    bool Step();
    // How long the last step's frame stays on screen.
    std::uint32_t DelayMs() const;

  private:
    struct Patch {
        bool saved = false;
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
    };
    void SavePatch(const Frame& frame);
    void RestorePatch();
    void Compose(const Frame& frame);

    Stream& stream_;
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> canvas_;
    Frame frame_;
    Patch patch_;
};

// What the animation thread draws on and measures time with.
class PlayerHost {
  public:
    virtual ~PlayerHost() = default;
    // The program's clock (GetTickCount and Sleep of the clock seam by default).
    virtual std::uint32_t TickCount();
    virtual void Sleep(std::uint32_t ms);
    // On the animation thread, before the first frame: fill `canvas` (0x00RRGGBB, width x height)
    // with what the picture's place shows now.
    virtual void BeginDrawing(std::uint32_t* canvas, int width, int height) = 0;
    // On the animation thread, after every tick: show the canvas.
    virtual void Present(const std::uint32_t* canvas, int width, int height) = 0;
    // On the animation thread, as it ends.
    virtual void EndDrawing() = 0;
};

// The state word, the one value the animation thread and the window thread share.
enum ThreadState : int {
    kNeverStarted = 0,
    kStopRequested = 1,
    kStopped = 2,
    kRunning = 5,
};

class Player {
  public:
    explicit Player(PlayerHost& host);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Stops a running animation and loads a file ("ads\101.gif") or bytes; false if they are not
    // a GIF picture, and then the player cannot start.
    bool Load(const std::string& fileName);
    bool LoadBytes(const std::uint8_t* bytes, std::size_t size);
    int ScreenWidth() const { return stream_.ScreenWidth(); }
    int ScreenHeight() const { return stream_.ScreenHeight(); }

    // Starts the animation thread from the first frame, unless it is running or nothing loaded.
    void Start();
    // Asks a running thread to stop and waits until it has; returns the thread state.
    int Stop();
    int State() const { return state_.load(); }

  private:
    void Run();

    PlayerHost& host_;
    Stream stream_;
    std::atomic<int> state_{kNeverStarted};
    std::thread thread_;
};

}  // namespace gif
