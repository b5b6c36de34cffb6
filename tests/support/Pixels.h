// Pixels for the tests: pictures taken from the screen or from a window of
// this process, and bitmaps to draw into and read back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A picture: its pixels as colours, row by row from the top.
class Image {
public:
    Image() = default;
    Image(int width, int height, COLORREF fill = RGB(0, 0, 0));

    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT All() const { return RECT{0, 0, width_, height_}; }
    // The colour at a point, as GetPixel answers it: CLR_INVALID outside the picture.
    COLORREF At(int x, int y) const;
    // How many pixels of a rectangle (cut to the picture) the test holds for.
    template <class Test> size_t CountWhere(const RECT& area, Test test) const {
        size_t n = 0;
        for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < height_; ++y) {
            for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < width_; ++x) {
                n += test(pixels_[static_cast<size_t>(y) * width_ + x]) ? 1 : 0;
            }
        }
        return n;
    }
    size_t Count(COLORREF colour, const RECT& area) const {
        return CountWhere(area, [colour](COLORREF c) { return c == colour; });
    }
    size_t Count(COLORREF colour) const { return Count(colour, All()); }
    // The pixels in a rectangle, cut to the picture, as a picture of their own.
    Image Crop(const RECT& area) const;
    bool operator==(const Image& other) const;
    bool operator!=(const Image& other) const { return !(*this == other); }
    // The picture as the bytes of a 24-bit BMP file.
    std::string BmpFile() const;
    // A picture of the pixels of a top-down 32-bit DIB (0x00RRGGBB each).
    static Image FromDib(const DWORD* bits, int width, int height);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// A memory device context and the bitmap it draws into: a 32-bit one of its
// own, or one of the caller's, selected while the canvas lives.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    explicit Canvas(const Image& start); // its own bitmap, holding the picture
    explicit Canvas(HBITMAP theirs);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    void Set(int x, int y, COLORREF colour) { SetPixel(dc_, x, y, colour); }
    void Fill(COLORREF colour);
    Image Picture() const;

private:
    HDC dc_;
    HBITMAP own_ = nullptr;
    DWORD* bits_ = nullptr; // the pixels of a bitmap of its own
    HGDIOBJ old_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// What the screen shows in a rectangle of screen coordinates: the windows of
// every process, as a user sees them.
Image CaptureScreen(const RECT& area);
// What the screen shows of a window's client area.
Image CaptureClientOnScreen(HWND hwnd);

// In-process, for windows of this thread. What the window's client area shows
// now, as its own painting left it, partial repaints included: copied from
// its device context once it has painted what was pending.
Image ShownClient(HWND hwnd);
// The client area as the window paints it afresh, as a whole: printed into a
// memory bitmap with WM_PRINTCLIENT.
Image PaintedClient(HWND hwnd);
