// GIF87a/GIF89a stream reader for the advert pictures: the header with its global colour table,
// the block parser that walks the stream one image at a time (looping after the trailer), and the
// LZW decoder that turns an image's data sub-blocks into rows of colour indexes.
//
// Nothing here touches a window: `CAdPicture` composes the frames onto its canvas and draws them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/extras/gif_lzw.h"

namespace gif {

// The disposal field of the graphic control extension, kept in place (bits 2 to 4 of its flags).
constexpr int kDisposalNone = 1 << 2;
constexpr int kDisposalRestoreBackground = 2 << 2;
constexpr int kDisposalRestorePrevious = 3 << 2;

// Largest logical screen accepted, in pixels: the canvas, the saved patches and every decoded
// frame are bounded by it, so a damaged header cannot ask for gigabytes.
constexpr std::uint32_t kMaxScreenPixels = 4096u * 4096u;

// Graphic-control values in force for the next image.
struct GraphicControl {
    int disposal = kDisposalNone;  // the disposal field in place: flags & 0x1C
    bool transparent = false;
    std::uint8_t transparentIndex = 0;
    int delay = 0;  // hundredths of a second; 0 means "the player's default"
};

// One decoded image, clipped to the logical screen.
struct Frame {
    // The rectangle and flag byte of the image descriptor, as written in the file.
    int left = 0, top = 0, width = 0, height = 0;
    std::uint8_t flags = 0;
    // The part of the rectangle that lies on the screen; the pixel rows cover exactly this part.
    int visibleWidth = 0, visibleHeight = 0;
    int stride = 0;                       // bytes per row: visibleWidth rounded up to 4
    std::vector<std::uint8_t> pixels;     // visibleHeight rows of colour indexes, top-down
    std::uint32_t colours[256] = {};      // 0x00RRGGBB; entries past the GIF table stay black
    bool transparent = false;             // a transparent colour applies to this frame
    std::uint32_t transparentColour = 0;  // 0x00RRGGBB of the transparent index

    std::uint8_t IndexAt(int x, int y) const { return pixels[std::size_t(y) * stride + x]; }
    std::uint32_t ColourAt(int x, int y) const { return colours[IndexAt(x, y)]; }
};

// A loaded GIF file: its screen, its global colour table and the block data after them, with the
// read position the block parser moves through it.
class Stream {
  public:
    // Reads the 13-byte header, the global colour table and the rest of the bytes.
    // Fails on a short or foreign header, a short global table or a screen larger than
    // kMaxScreenPixels.
    bool Open(const std::uint8_t* bytes, std::size_t size);
    // Opens a file by the program's relative name ("ads\101.gif"); false if it cannot be read.
    bool OpenFile(const std::string& name);
    void Close();

    bool HasData() const { return loaded_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    int GlobalColourCount() const { return globalCount_; }
    std::size_t Position() const { return pos_; }
    std::size_t DataSize() const { return data_.size(); }

    void Rewind() { pos_ = 0; }
    // Parses up to and including the next image and decodes it into `frame`. Returns false when
    // this step yields no frame (a broken block or LZW stream, or the end of the data); the next
    // call goes on from where this one stopped.
    bool NextFrame(Frame& frame);

    const GraphicControl& Control() const { return control_; }
    // The player resets the disposal once it has disposed of the previous frame.
    void SetDisposal(int disposal) { control_.disposal = disposal; }

  private:
    enum class Skip { Done, PastEnd };
    Skip SkipSubBlocks();
    bool DecodeImage(Frame& frame);

    bool loaded_ = false;
    int screenWidth_ = 0, screenHeight_ = 0;
    int globalCount_ = 0;  // 0: no global colour table
    std::uint8_t globalTable_[256 * 3] = {};
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
    GraphicControl control_;
    LzwTable lzw_;
};

}  // namespace gif
