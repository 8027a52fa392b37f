// Any bytes as a level background or the idle picture: the game's JPEG reading on libjpeg with
// its own error manager (its messages go to the modal responder, which answers nothing) and its
// picture buffer. Every input ends with a picture whose rows lie inside its buffer, or with no
// picture and a size of 0 x 0; the library's fatal errors come back through the error manager.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/declared_pixels.h"
#include "fuzz/support/fuzz_folder.h"
#include "game/view/picture.h"
#include "platform/seams/seams.h"

namespace {

volatile unsigned g_sink = 0;

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzsupport::FuzzFolder folder = [] {
        seams::EnableResponder(true);
        seams::SetResponderErrorHandler([](const std::string&) {});
        return fuzzsupport::FuzzFolder("picture_fuzz");
    }();
    if (fuzzsupport::DeclaredPixels(data, size) > fuzzsupport::kMaxFuzzPixels) return 0;
    if (!folder.Enter()) return 0;

    if (fuzzsupport::WriteInput("fuzz.jpg", data, size)) {
        int width = -1, height = -1;
        unsigned char* rgb = JpegFile::Read("fuzz.jpg", &width, &height);
        if (rgb) {
            Check(width > 0 && height > 0);
            // Every byte of the buffer is read: a short buffer shows up under the sanitizer.
            unsigned sum = 0;
            for (size_t i = 0; i < size_t(width) * size_t(height) * 3; ++i) sum += rgb[i];
            g_sink = sum;
            delete[] rgb;
        } else {
            Check(width == 0 && height == 0);
        }

        CPicture picture;
        picture.Load("fuzz.jpg");
        if (picture.IsLoaded()) {
            Check(picture.Stride() >= picture.Width() * 3 && picture.Stride() % 4 == 0);
            const unsigned char* last =
                picture.Pixels() + size_t(picture.Stride()) * size_t(picture.Height() - 1);
            g_sink = last[picture.Stride() - 1];  // the buffer's last byte
        }
    }
    Check(folder.Leave());
    return 0;
}
