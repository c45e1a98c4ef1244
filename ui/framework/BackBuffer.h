#pragma once
#include <windows.h>

namespace tolva::ui {

// A 32-bit bottom-up DIB section to draw a picture into before it is shown.
class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { releaseBackBuffer(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Replaces any earlier bitmap; false when the new one cannot be made.
    bool createBackBuffer(int width, int height);
    void releaseBackBuffer();
    // A memory device context with the bitmap selected, null on failure; end with endDraw.
    HDC beginDraw();
    void endDraw(HDC dc);

    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousObject_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace tolva::ui
