#include "game/extras/gif_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/crt/textfile.h"

namespace gif {
namespace {

constexpr std::size_t kHeaderSize = 13;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kPlainTextLabel = 0x01;
constexpr std::uint8_t kCommentLabel = 0xFE;
constexpr std::uint8_t kApplicationLabel = 0xFF;
constexpr std::uint8_t kColourTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;

int Word(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

std::uint32_t Rgb(const std::uint8_t* triple) {
    return (std::uint32_t(triple[0]) << 16) | (std::uint32_t(triple[1]) << 8) | triple[2];
}

}  // namespace

bool Stream::Open(const std::uint8_t* bytes, std::size_t size) {
    Close();
    if (size < kHeaderSize) return false;
    if (std::memcmp(bytes, "GIF87a", 6) != 0 && std::memcmp(bytes, "GIF89a", 6) != 0) return false;
    const int width = Word(bytes + 6);
    const int height = Word(bytes + 8);
    if (std::uint64_t(width) * std::uint64_t(height) > kMaxScreenPixels) return false;
    const std::uint8_t flags = bytes[10];
    std::size_t offset = kHeaderSize;
    if (flags & kColourTableFlag) {
        const int count = 2 << (flags & 7);
        if (size - offset < std::size_t(count) * 3) return false;
        std::memcpy(globalTable_, bytes + offset, std::size_t(count) * 3);
        globalCount_ = count;
        offset += std::size_t(count) * 3;
    }
    screenWidth_ = width;
    screenHeight_ = height;
    data_.assign(bytes + offset, bytes + size);
    pos_ = 0;
    control_ = GraphicControl();
    loaded_ = true;
    return true;
}

bool Stream::OpenFile(const std::string& name) {
    Close();
    std::FILE* file = crt::OpenDataFile(name, "rb");
    if (!file) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) return false;
    return Open(bytes.data(), bytes.size());
}

void Stream::Close() {
    loaded_ = false;
    screenWidth_ = screenHeight_ = 0;
    globalCount_ = 0;
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
    control_ = GraphicControl();
}

// Skips a chain of data sub-blocks up to and including its zero-length terminator.
Stream::Skip Stream::SkipSubBlocks() {
    while (pos_ < data_.size()) {
        const std::size_t length = data_[pos_];
        if (length == 0) {
            ++pos_;
            return Skip::Done;
        }
        if (data_.size() - pos_ - 1 < length) break;
        pos_ += 1 + length;
    }
    pos_ = data_.size();
    return Skip::PastEnd;
}

bool Stream::NextFrame(Frame& frame) {
    if (!loaded_) return false;
    bool rewoundAtTrailer = false;
    for (;;) {
        if (pos_ >= data_.size()) {
            Rewind();
            return false;
        }
        const std::uint8_t introducer = data_[pos_++];
        switch (introducer) {
            case kExtensionIntroducer: {
                if (pos_ >= data_.size()) {
                    Rewind();
                    return false;
                }
                const std::uint8_t label = data_[pos_++];
                if (label == kGraphicControlLabel) {
                    // Block size, flags, delay (2), transparent index, then the terminator.
                    if (data_.size() - pos_ < 5) {
                        Rewind();
                        return false;
                    }
                    const std::size_t blockSize = data_[pos_];
                    if (blockSize < 4) return false;  // not a graphic control block: skip the label
                    const std::uint8_t* p = &data_[pos_ + 1];
                    control_.disposal = p[0] & 0x1C;
                    control_.transparent = (p[0] & 1) != 0;
                    control_.delay = Word(p + 1);
                    control_.transparentIndex = p[3];
                    if (SkipSubBlocks() == Skip::PastEnd) {
                        Rewind();
                        return false;
                    }
                } else if (label == kPlainTextLabel || label == kCommentLabel ||
                           label == kApplicationLabel) {
                    // The plain-text and application header blocks are sub-blocks of 12 and 11
                    // bytes, so one chain skip passes the header and its data alike; loop counts
                    // are not read: the animation always loops.
                    if (SkipSubBlocks() == Skip::PastEnd) {
                        Rewind();
                        return false;
                    }
                } else {
                    return false;
                }
                break;
            }
            case kImageSeparator:
                return DecodeImage(frame);
            case kTrailer:
                if (rewoundAtTrailer) return false;  // a stream without a single image
                Rewind();
                rewoundAtTrailer = true;
                break;
            case 0x00:
                break;
            default:
                return false;
        }
    }
}

bool Stream::DecodeImage(Frame& frame) {
    if (data_.size() - pos_ < 9) {
        Rewind();
        return false;
    }
    const std::uint8_t* d = &data_[pos_];
    frame.left = Word(d);
    frame.top = Word(d + 2);
    frame.width = Word(d + 4);
    frame.height = Word(d + 6);
    frame.flags = d[8];
    pos_ += 9;

    const std::uint8_t* table = globalCount_ ? globalTable_ : nullptr;
    int count = globalCount_;
    if (frame.flags & kColourTableFlag) {
        count = 2 << (frame.flags & 7);
        if (data_.size() - pos_ < std::size_t(count) * 3) {
            Rewind();
            return false;
        }
        table = &data_[pos_];
        pos_ += std::size_t(count) * 3;
    }
    std::fill(std::begin(frame.colours), std::end(frame.colours), 0u);
    for (int i = 0; i < count; ++i) frame.colours[i] = Rgb(table + i * 3);
    // A transparent index outside the frame's table names no colour: nothing is transparent.
    frame.transparent = control_.transparent && control_.transparentIndex < count;
    frame.transparentColour = frame.transparent ? frame.colours[control_.transparentIndex] : 0;

    // Only the part of the frame that lies on the screen is kept.
    frame.visibleWidth =
        frame.left < screenWidth_ ? std::min(frame.width, screenWidth_ - frame.left) : 0;
    frame.visibleHeight =
        frame.top < screenHeight_ ? std::min(frame.height, screenHeight_ - frame.top) : 0;
    frame.stride = (frame.visibleWidth + 3) & ~3;
    frame.pixels.assign(std::size_t(frame.stride) * frame.visibleHeight, 0);

    if (pos_ >= data_.size()) {
        Rewind();
        return false;
    }
    const int minCodeSize = data_[pos_++];
    RowWriter rows(frame, (frame.flags & kInterlaceFlag) != 0);
    CodeReader reader(data_.data(), data_.size(), pos_);
    const bool complete = DecodeLzw(minCodeSize, reader, rows, lzw_);
    // Whether the image ended well or not, the parser goes on after its data sub-blocks.
    pos_ = reader.Position();
    if (pos_ < data_.size()) pos_ += reader.BytesLeftInBlock();
    if (SkipSubBlocks() == Skip::PastEnd) pos_ = data_.size();
    return complete;
}

}  // namespace gif
