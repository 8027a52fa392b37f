// CAdPicture: the advert's animated GIF picture, played from a thread of its own onto the client
// area of its owner window.
#pragma once

#include <memory>
#include <string>

#include "game/extras/gif_player.h"

class CWnd;
class CDC;

class CAdPicture : private gif::PlayerHost {
  public:
    explicit CAdPicture(CWnd* owner);
    ~CAdPicture() override;  // stops the thread, then frees everything
    CAdPicture(const CAdPicture&) = delete;
    CAdPicture& operator=(const CAdPicture&) = delete;

    // Loads "ads\101.gif"-style files (stopping a running animation first); false when the file
    // is missing or not a GIF picture, and then Start does nothing.
    bool Load(const std::string& fileName);
    void SetPosition(int x, int y);
    void Start();
    // Asks the thread to stop and waits until it has; returns the thread state.
    int Stop();
    int State() const { return player_.State(); }

    // The GIF's logical screen (0 x 0 when nothing is loaded).
    int ScreenWidth() const { return player_.ScreenWidth(); }
    int ScreenHeight() const { return player_.ScreenHeight(); }

  private:
    // The animation thread's side: it holds the owner's DC from its first frame to its end.
    void BeginDrawing(std::uint32_t* canvas, int width, int height) override;
    void Present(const std::uint32_t* canvas, int width, int height) override;
    void EndDrawing() override;

    CWnd* owner_;
    int x_ = 0, y_ = 0;        // written only while the thread is stopped
    CDC* windowDc_ = nullptr;  // the animation thread's own
    gif::Player player_;
};
