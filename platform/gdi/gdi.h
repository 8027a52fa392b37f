// Device contexts, bitmaps, pens, brushes, fonts and icons over 32-bit pixel buffers, in the
// shape of the MFC drawing classes (CDC, CPen, CBrush, CFont, CBitmap) and the Windows GDI
// calls the program uses. Everything is drawn by this library, exact to the pixel:
//  - coordinates are pixels, right and bottom edges of rectangles are exclusive;
//  - every operation clips to the target surface (and to the DC's clip rectangle, if set);
//  - text is rendered without anti-aliasing; the default font of every DC is a 16-pixel
//    bitmap font in which Chinese characters are 16 pixels wide and digits, Latin letters and
//    colons 8 pixels. Text arguments are UTF-8.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gdi/gditypes.h"
#include "platform/gdi/surface.h"

// ---- raster operations (the low byte of the ternary code's index is what is evaluated) ----
constexpr DWORD SRCCOPY = 0x00CC0020;      // S
constexpr DWORD SRCPAINT = 0x00EE0086;     // S | D
constexpr DWORD SRCAND = 0x008800C6;       // S & D
constexpr DWORD SRCINVERT = 0x00660046;    // S ^ D
constexpr DWORD SRCERASE = 0x00440328;     // S & ~D
constexpr DWORD NOTSRCCOPY = 0x00330008;   // ~S
constexpr DWORD NOTSRCERASE = 0x001100A6;  // ~(S | D)
constexpr DWORD MERGECOPY = 0x00C000CA;    // P & S
constexpr DWORD MERGEPAINT = 0x00BB0226;   // ~S | D
constexpr DWORD PATCOPY = 0x00F00021;      // P
constexpr DWORD PATPAINT = 0x00FB0A09;     // P | ~S | D
constexpr DWORD PATINVERT = 0x005A0049;    // P ^ D
constexpr DWORD DSTINVERT = 0x00550009;    // ~D
constexpr DWORD BLACKNESS = 0x00000042;    // 0
constexpr DWORD WHITENESS = 0x00FF0062;    // 1
constexpr DWORD DSna = 0x00220326;         // D & ~S (the frame ANDed with an inverted mask)
// Every one of the 256 ternary codes works: bits 16-23 of the value select the boolean
// function of pattern (brush), source and destination as on Windows.

// ---- background modes, pen styles, stock objects ----
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;  // drawn solid
constexpr int PS_DOT = 2;   // drawn solid
constexpr int PS_NULL = 5;

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;  // the dialog font (宋体 9 points = 12 pixels)

// ---- DrawText formats ----
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;  // accepted; control characters take no room
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;  // accepted, not applied

// ---- text alignment (SetTextAlign) ----
constexpr UINT TA_TOP = 0;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// ---- GetDeviceCaps ----
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// ---- fonts ----
constexpr int LF_FACESIZE = 32;
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE GB2312_CHARSET = 134;

// lfHeight < 0: the character height (em) in pixels; > 0: the cell height; 0: 16 pixels.
// lfFaceName is UTF-8. "宋体", "SimSun", "MS Shell Dlg" and "AR PL UMing" select the Song-style
// dialog font (AR PL UMing); every other name, and "", selects the 16-pixel system font
// (GNU Unifont). lfUnderline and lfStrikeOut draw a 1-pixel line; bold is drawn by
// doubling each glyph one pixel to the right. lfWidth, lfItalic and the escapement are not
// applied: the program's fonts are upright at their natural width.
struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
typedef LOGFONT* LPLOGFONT;

struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};

// ---- device-independent bitmaps ----
constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD CBM_INIT = 4;

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER is 14 bytes");

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // > 0 bottom-up, < 0 top-down
    WORD biPlanes;
    WORD biBitCount;      // 1, 4, 8, 24 or 32
    DWORD biCompression;  // BI_RGB only
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

// The colour table of 1-, 4- and 8-bit bitmaps follows the header (biClrUsed entries, or
// 2^biBitCount when 0). Allocate the full size yourself when it has more than one entry.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// CBitmap::GetBitmap.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;  // 32 for colour bitmaps, 1 for monochrome
    void* bmBits;      // the surface pixels (0xFFRRGGBB words) for colour bitmaps
};

// ---- handles ----
namespace gdi {
struct GdiObject;  // a pen, brush, font or bitmap; shared between its CGdiObject and the DCs
struct IconImage;  // defined below
}  // namespace gdi
typedef gdi::GdiObject* HGDIOBJ;
typedef gdi::GdiObject* HPEN;
typedef gdi::GdiObject* HBRUSH;
typedef gdi::GdiObject* HFONT;
typedef gdi::GdiObject* HBITMAP;
typedef const gdi::IconImage* HICON;
typedef const gdi::IconImage* HCURSOR;

class CDC;
typedef CDC* HDC;

namespace gdi {

// An icon or cursor: 32-bit pixels with alpha and the 1-bit AND mask, top-down.
struct IconImage {
    int width = 0;
    int height = 0;
    int hotspotX = 0;  // cursors: the hotspot from the directory entry; icons: centre
    int hotspotY = 0;
    std::vector<uint32_t> argb;    // 0xAARRGGBB, width*height, top row first
    std::vector<uint8_t> andMask;  // 1 = transparent (screen shows through), width*height
};

}  // namespace gdi

// Icons and cursors from the program's resources (platform/crt/resources.h, kinds Icon and
// Cursor: complete .ico/.cur files). Resource icons are shared and live as long as the
// program; nullptr when the resource is missing or malformed.
HICON LoadIconResource(int id);
HCURSOR LoadCursorResource(int id);
// From the bytes of a .ico or .cur file (the first image); free with DestroyIcon.
HICON CreateIconFromFile(const void* data, size_t size);
BOOL DestroyIcon(HICON icon);  // no-op for resource icons
// The icon's pixels, for making a window icon or a cursor.
const gdi::IconImage* GetIconImage(HICON icon);

// ---- GDI objects (MFC-style wrappers; the underlying object lives while a DC selects it) ----
class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return obj_.get(); }
    operator HGDIOBJ() const { return obj_.get(); }
    // Releases the wrapper's reference; a DC that still selects the object keeps it alive.
    BOOL DeleteObject();
    // Takes a reference to an existing object (e.g. one made by CreateDIBitmap).
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();

    // Internal: the shared object.
    const std::shared_ptr<gdi::GdiObject>& Object() const { return obj_; }

  protected:
    void Set(std::shared_ptr<gdi::GdiObject> obj);
    friend struct GdiObjectAccess;
    std::shared_ptr<gdi::GdiObject> obj_;
};

class CPen : public CGdiObject {
  public:
    static CPen* FromHandle(HPEN pen);  // nullptr for anything that is not a live pen
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    // Width 0 or 1: a one-pixel line. Wider: round ends and round joins, the line's centre on
    // the path between the points.
    BOOL CreatePen(int style, int width, COLORREF color);
};

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

struct LOGBRUSH {
    UINT lbStyle;  // BS_SOLID or BS_NULL
    COLORREF lbColor;
    uintptr_t lbHatch;
};

class CBrush : public CGdiObject {
  public:
    int GetLogBrush(LOGBRUSH* lb) const;
    // The wrapper of a brush handle (e.g. one returned from a control-colour handler or
    // GetStockObject); nullptr for anything that is not a live brush.
    static CBrush* FromHandle(HBRUSH brush);
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateStockObject(int index);  // NULL_BRUSH etc.
};

class CFont : public CGdiObject {
  public:
    static CFont* FromHandle(HFONT font);  // nullptr for anything that is not a live font
    BOOL CreateFontIndirect(const LOGFONT* lf);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName);
    // pointSize in tenths of a point at 96 pixels per inch (90 = 9 points = 12 pixels).
    BOOL CreatePointFont(int pointSize, const char* faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* lf) const;
    BOOL CreateStockObject(int index);  // SYSTEM_FONT, DEFAULT_GUI_FONT
};

class CBitmap : public CGdiObject {
  public:
    static CBitmap* FromHandle(HBITMAP bitmap);  // nullptr for anything that is not a live bitmap
    // A bitmap of the DC's format: colour for window DCs and the screen (dc == nullptr), and for
    // a memory DC the format of the bitmap selected into it (monochrome for a fresh memory DC,
    // as on Windows). The pixels start black.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // planes must be 1; bitsPerPixel 1 (monochrome) or 32. bits, when given, hold rows top-down:
    // 1-bit rows padded to 16 bits, most significant bit first; 32-bit rows as 0x00RRGGBB words.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // A bitmap resource (platform/crt/resources.h kind Bitmap: a .bmp file, 24-bit or 8-bit).
    BOOL LoadBitmap(UINT resourceId);
    // The bytes of a .bmp file (BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, rows; 1, 4, 8,
    // 24 or 32 bits, bottom-up or top-down). Fails on anything malformed or truncated.
    BOOL LoadFromBmp(const void* data, size_t size);
    int GetBitmap(BITMAP* bm) const;
    CSize GetSize() const;
    // The pixels (nullptr when no bitmap was created).
    std::shared_ptr<gdi::Surface> GetSurface() const;
};

// ---- device context ----
class CDC {
  public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() { return this; }

    // A memory DC (the argument is only checked for format; nullptr means the screen). It
    // starts with a 1 x 1 monochrome bitmap selected, the black pen, the white brush, the
    // system font, text colour black, background white, mode OPAQUE.
    BOOL CreateCompatibleDC(CDC* dc);
    // A DC drawing straight onto a surface (window and paint DCs of the framework).
    BOOL AttachSurface(std::shared_ptr<gdi::Surface> surface);
    BOOL DeleteDC();
    // The surface drawn on: the selected bitmap's or the attached one.
    std::shared_ptr<gdi::Surface> GetSurface() const;

    // Selecting returns the previously selected object (never nullptr for a valid DC; stock
    // objects have wrappers of their own). Selecting a bitmap into a non-memory DC fails.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    COLORREF SetTextColor(COLORREF color);  // return the previous value
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const;

    // Logical (0,0) lands on this device point.
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const;
    // Clipping to one rectangle in logical coordinates (in addition to the surface bounds).
    int IntersectClipRect(int l, int t, int r, int b);
    int IntersectClipRect(LPCRECT r) {
        return IntersectClipRect(r->left, r->top, r->right, r->bottom);
    }
    int SetClipRect(LPCRECT r);  // nullptr removes the clip rectangle
    int GetClipBox(LPRECT r) const;
    int SaveDC();                 // returns the saved level (>= 1)
    BOOL RestoreDC(int savedDC);  // -1 restores the latest
    int GetDeviceCaps(int index) const;

    // ---- pixels, lines, shapes ----
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF SetPixel(POINT p, COLORREF color) { return SetPixel(p.x, p.y, color); }
    COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside the surface
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    CPoint MoveTo(int x, int y);  // returns the previous position
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    CPoint GetCurrentPosition() const;
    // One-pixel pens leave out the end point, as Windows does; wide pens draw a round cap at
    // both ends.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* points, int count);
    // Pen outline on the edges of (l, t)-(r-1, b-1), brush inside. With the null pen the brush
    // fills (l, t)-(r-2, b-2), one pixel less to the right and bottom, as on Windows.
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    void FillRect(LPCRECT r, CBrush* brush);
    void FillSolidRect(LPCRECT r, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FrameRect(LPCRECT r, CBrush* brush);  // a 1-pixel frame
    void InvertRect(LPCRECT r);
    void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
    void DrawFocusRect(LPCRECT r);  // dotted, XOR

    // ---- block transfers ----
    // Copies w x h from (xs, ys) of src to (x, y) combining with `rop`. The rectangle is clipped
    // to both surfaces; pixels outside either are left alone. Colour to monochrome: source pixels
    // equal to the source DC's background colour give 1 (white), all others 0. Monochrome to
    // colour: 0 becomes the target DC's text colour, 1 its background colour. Codes that use
    // the pattern take the target DC's brush. src may be nullptr for codes without a source.
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop);
    // Scales with nearest-pixel sampling; negative widths/heights mirror.
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                    DWORD rop);
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);

    // ---- device-independent bitmaps ----
    // For a bottom-up bitmap (biHeight > 0) the source point (xs, ys) counts from its
    // bottom-left corner, so (0, 0) with a rectangle smaller than the picture selects its
    // bottom-left part; for a top-down bitmap from its top-left. Scan lines `startScan` to
    // startScan+lines-1 (counted in the same direction) are present in `bits`. Returns the number
    // of scan lines, 0 on failure.
    int SetDIBitsToDevice(int x, int y, DWORD w, DWORD h, int xs, int ys, UINT startScan,
                          UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
    int StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                      const BITMAPINFO* bmi, UINT usage, DWORD rop);

    // ---- text ----
    BOOL TextOut(int x, int y, const char* text, int count);  // count = bytes; -1: to the NUL
    BOOL TextOut(int x, int y, const char* text) { return TextOut(x, y, text, -1); }
    BOOL TextOut(int x, int y, std::string_view text) {
        return TextOut(x, y, text.data(), static_cast<int>(text.size()));
    }
    // Single line or, with DT_WORDBREAK / newlines, several lines; DT_CALCRECT only measures
    // (sets right and bottom). Returns the height of the text drawn. '&' prefixes are shown
    // literally only with DT_NOPREFIX; otherwise "&&" is '&' and a lone '&' underlines the next
    // character.
    int DrawText(const char* text, int count, LPRECT r, UINT format);
    int DrawText(std::string_view text, LPRECT r, UINT format) {
        return DrawText(text.data(), static_cast<int>(text.size()), r, format);
    }
    CSize GetTextExtent(const char* text, int count) const;
    CSize GetTextExtent(std::string_view text) const {
        return GetTextExtent(text.data(), static_cast<int>(text.size()));
    }
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;

    // ---- icons ----
    // Draws at its own size: alpha-blended when the icon has alpha, else through its AND mask.
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }

    // Internal state; defined in the implementation.
    struct State;

  private:
    std::unique_ptr<State> s_;
    friend struct DcAccess;
};

// ---- free functions in Windows form ----
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ object);  // drops a reference made by CreateDIBitmap
// A colour bitmap made from a device-independent bitmap (1, 4, 8 bits through the colour
// table; 24 or 32 bits), as CreateDIBitmap with CBM_INIT; attach it to a CBitmap.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int xs, int ys, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop);

namespace gdi {
// The colour and hollowness of a brush handle; false when it is not a brush.
bool BrushInfo(HBRUSH brush, COLORREF* color, bool* hollow);
// The screen size that GetDeviceCaps(HORZRES/VERTRES) reports (set by the window layer).
void SetScreenSize(int width, int height);
}  // namespace gdi
