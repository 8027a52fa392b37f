// The pictures behind the game: a level background or the idle picture, decoded once from a
// JPEG file and kept as a bottom-up 24-bit device-independent bitmap body, so that every
// repaint is one unscaled block copy.
#pragma once

#include "platform/gdi/gdi.h"

// Reads a JPEG file with libjpeg into a new top-down RGB buffer (width * height * 3 bytes, no
// row padding). Failures show their message box and return nullptr; width and height are set
// to 0 before anything else, so they read 0 after any failure.
class JpegFile {
  public:
    // Free the result with delete[].
    static unsigned char* Read(const char* name, int* width, int* height);
};

class CPicture {
  public:
    CPicture() = default;
    ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // Replaces the picture by the file's content. `name` is the program's name for the file
    // ("img\101.jpg"); the call is reported to the trace as "picture". A file that cannot be
    // opened leaves the picture as it was; a file that fails to decode leaves a picture that
    // draws nothing until a later load succeeds.
    void Load(const char* name);
    // Draws the picture unscaled with its top-left corner at (x, y), limited to w x h pixels
    // taken from its bottom-left corner. Nothing when no picture is held.
    void Draw(CDC* dc, int x, int y, int w, int h) const;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    const unsigned char* Pixels() const { return m_pixels; }  // bottom-up, BGR, padded rows
    bool IsLoaded() const { return m_pixels != nullptr && m_width > 0 && m_height > 0; }

  private:
    unsigned char* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};
