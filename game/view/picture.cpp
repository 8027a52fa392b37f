#include "game/view/picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "platform/afx/afxwin.h"
#include "platform/crt/textfile.h"
#include "platform/seams/seams.h"

namespace {

// The library's error manager with our fatal-error and message routines; the jump buffer
// brings a fatal error back to the reader.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf recovery;
};

void ShowFatalError(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    MessageBox(nullptr, message, "JPEG Fatal Error", MB_OK | MB_ICONERROR);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recovery, 1);
}

// Warnings (a truncated file, for one) do not stop the decoding; the library reports the
// first one of each decoding through here.
void ShowMessage(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    MessageBox(nullptr, message, "JPEG Error", MB_OK);  // owned by the active window
}

// Reads the decompressor's rows into `out`; kept apart from JpegFile::Read so that no object
// with a destructor lives in the frame the fatal-error jump returns to.
void ReadRows(jpeg_decompress_struct* cinfo, unsigned char* out) {
    const int width = static_cast<int>(cinfo->output_width);
    const int components = cinfo->output_components;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * components, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        jpeg_read_scanlines(cinfo, row, 1);
        unsigned char* dst =
            out + static_cast<size_t>(cinfo->output_scanline - 1) * static_cast<size_t>(width) * 3;
        const JSAMPLE* src = row[0];
        if (components == 3) {
            std::memcpy(dst, src, static_cast<size_t>(width) * 3);
        } else {
            // Greyscale: each sample becomes a grey RGB pixel.
            for (int x = 0; x < width; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
        }
    }
}

}  // namespace

unsigned char* JpegFile::Read(const char* name, int* width, int* height) {
    *width = 0;
    *height = 0;
    std::FILE* file = crt::OpenDataFile(name, "rb");
    if (!file) {
        char message[600];
        std::snprintf(message, sizeof message, "JPEG :\nCan't open %s\n", name);
        AfxMessageBox(message, MB_OK);
        return nullptr;
    }
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ShowFatalError;
    err.pub.output_message = ShowMessage;
    unsigned char* volatile out = nullptr;
    if (setjmp(err.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        delete[] out;
        *width = 0;
        *height = 0;
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    // Only greyscale and RGB output can be shown; other colour spaces (CMYK) are refused
    // like a file that does not decode.
    if (cinfo.output_components != 1 && cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        return nullptr;
    }
    const size_t bytes =
        static_cast<size_t>(cinfo.output_width) * static_cast<size_t>(cinfo.output_height) * 3;
    out = new (std::nothrow) unsigned char[bytes];
    if (!out) {
        AfxMessageBox("JpegFile :\nOut of memory", MB_OK | MB_ICONERROR);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        return nullptr;
    }
    *width = static_cast<int>(cinfo.output_width);
    *height = static_cast<int>(cinfo.output_height);
    ReadRows(&cinfo, out);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return out;
}

CPicture::~CPicture() { delete[] m_pixels; }

void CPicture::Load(const char* name) {
    seams::Trace("picture", {{"file", name}});
    // A missing file keeps the picture that is there.
    std::FILE* probe = crt::OpenDataFile(name, "r");
    if (!probe) return;
    std::fclose(probe);

    unsigned char* rgb = JpegFile::Read(name, &m_width, &m_height);
    if (!rgb) return;  // the old buffer stays, but with size 0 it draws nothing

    delete[] m_pixels;
    m_pixels = nullptr;
    const size_t rowBytes = static_cast<size_t>(m_width) * 3;
    m_stride = ((m_width * 24 + 31) / 32) * 4;
    // RGB to BGR.
    const size_t total = rowBytes * static_cast<size_t>(m_height);
    for (size_t i = 0; i < total; i += 3) {
        const unsigned char r = rgb[i];
        rgb[i] = rgb[i + 2];
        rgb[i + 2] = r;
    }
    // Rows padded to the stride, then turned bottom-up.
    unsigned char* padded =
        new (std::nothrow) unsigned char[static_cast<size_t>(m_stride) * m_height]();
    if (!padded) {
        delete[] rgb;
        m_width = m_height = 0;
        return;
    }
    for (int y = 0; y < m_height; ++y)
        std::memcpy(padded + static_cast<size_t>(y) * m_stride, rgb + rowBytes * y, rowBytes);
    delete[] rgb;
    for (int i = 0; i < (m_height + 1) / 2; ++i) {
        const int j = m_height - 1 - i;
        if (i == j) break;
        unsigned char* a = padded + static_cast<size_t>(i) * m_stride;
        unsigned char* b = padded + static_cast<size_t>(j) * m_stride;
        for (int k = 0; k < m_stride; ++k) {
            const unsigned char t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
    }
    m_pixels = padded;
}

void CPicture::Draw(CDC* dc, int x, int y, int w, int h) const {
    if (!m_pixels || !dc) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = m_height;  // bottom-up: source (0, 0) is the bottom-left corner
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    dc->StretchDIBits(x, y, w, h, 0, 0, w, h, m_pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}
