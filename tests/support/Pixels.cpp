#include "tests/support/Pixels.h"

namespace {

// DIB pixels are 0x00RRGGBB; colours are 0x00BBGGRR.
COLORREF FromDibPixel(DWORD p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

DWORD ToDibPixel(COLORREF c) {
    return (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) |
           GetBValue(c);
}

// A top-down 32-bit DIB section; answers its bits through `bits`.
HBITMAP MakeDib(HDC like, int width, int height, DWORD** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    const HBITMAP dib = CreateDIBSection(like, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<DWORD*>(raw);
    return dib;
}

// The pixels of a rectangle of a device context, copied into a bitmap of ours.
Image CopyPixels(HDC source, int left, int top, int width, int height, DWORD rop) {
    if (width <= 0 || height <= 0) {
        return Image();
    }
    DWORD* bits = nullptr;
    const HBITMAP dib = MakeDib(source, width, height, &bits);
    if (dib == nullptr) {
        return Image();
    }
    const HDC memory = CreateCompatibleDC(source);
    const HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, left, top, rop);
    GdiFlush();
    Image picture = Image::FromDib(bits, width, height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    return picture;
}

} // namespace

Image::Image(int width, int height, COLORREF fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Image Image::FromDib(const DWORD* bits, int width, int height) {
    Image picture(width, height);
    for (size_t i = 0; i < picture.pixels_.size(); ++i) {
        picture.pixels_[i] = FromDibPixel(bits[i]);
    }
    return picture;
}

COLORREF Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

Image Image::Crop(const RECT& area) const {
    const LONG left = area.left < 0 ? 0 : area.left;
    const LONG top = area.top < 0 ? 0 : area.top;
    const LONG right = area.right < width_ ? area.right : width_;
    const LONG bottom = area.bottom < height_ ? area.bottom : height_;
    if (right <= left || bottom <= top) {
        return Image();
    }
    Image part(right - left, bottom - top);
    for (LONG y = top; y < bottom; ++y) {
        for (LONG x = left; x < right; ++x) {
            part.pixels_[static_cast<size_t>(y - top) * part.width_ + (x - left)] = At(x, y);
        }
    }
    return part;
}

bool Image::operator==(const Image& other) const {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
}

std::string Image::BmpFile() const {
    const DWORD stride = static_cast<DWORD>((width_ * 3 + 3) & ~3);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_; // rows from the bottom up, as BMP files keep them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * static_cast<DWORD>(height_);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height_ - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width_; ++x) {
            const COLORREF c = At(x, y);
            row[3 * x] = static_cast<char>(GetBValue(c));
            row[3 * x + 1] = static_cast<char>(GetGValue(c));
            row[3 * x + 2] = static_cast<char>(GetRValue(c));
        }
        bytes += row;
    }
    return bytes;
}

Canvas::Canvas(int width, int height, COLORREF fill)
    : dc_(CreateCompatibleDC(nullptr)), width_(width), height_(height) {
    own_ = MakeDib(dc_, width, height, &bits_);
    old_ = SelectObject(dc_, own_);
    Fill(fill);
}

Canvas::Canvas(const Image& start) : Canvas(start.Width(), start.Height(), RGB(0, 0, 0)) {
    GdiFlush();
    for (int y = 0; y < height_ && bits_ != nullptr; ++y) {
        for (int x = 0; x < width_; ++x) {
            bits_[static_cast<size_t>(y) * width_ + x] = ToDibPixel(start.At(x, y));
        }
    }
}

Canvas::Canvas(HBITMAP theirs) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAP info{};
    if (GetObjectA(theirs, sizeof info, &info) == sizeof info) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
    old_ = SelectObject(dc_, theirs);
}

Canvas::~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    if (own_ != nullptr) {
        DeleteObject(own_);
    }
}

void Canvas::Fill(COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Image Canvas::Picture() const {
    return CopyPixels(dc_, 0, 0, width_, height_, SRCCOPY);
}

Image CaptureScreen(const RECT& area) {
    const HDC screen = GetDC(nullptr);
    Image picture = CopyPixels(screen, area.left, area.top, area.right - area.left,
                               area.bottom - area.top, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    return picture;
}

Image CaptureClientOnScreen(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    return CaptureScreen(client);
}

Image ShownClient(HWND hwnd) {
    UpdateWindow(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    const HDC dc = GetDC(hwnd);
    Image picture = CopyPixels(dc, 0, 0, client.right, client.bottom, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return picture;
}

Image PaintedClient(HWND hwnd) {
    // The window prints itself into a bitmap that starts out in a colour it
    // never draws, so a pixel it leaves out shows.
    RECT client{};
    GetClientRect(hwnd, &client);
    Canvas canvas(client.right, client.bottom, RGB(3, 2, 1));
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas.Picture();
}
