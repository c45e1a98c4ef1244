#include "ui/framework/BackBuffer.h"

namespace tolva::ui {

bool BackBuffer::createBackBuffer(int width, int height) {
    releaseBackBuffer();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap_)
        return false;
    width_ = width;
    height_ = height;
    return true;
}

void BackBuffer::releaseBackBuffer() {
    if (bitmap_)
        DeleteObject(bitmap_);
    bitmap_ = nullptr;
    previousObject_ = nullptr;
    width_ = 0;
    height_ = 0;
}

HDC BackBuffer::beginDraw() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return nullptr;
    previousObject_ = SelectObject(dc, bitmap_);
    return dc;
}

void BackBuffer::endDraw(HDC dc) {
    SelectObject(dc, previousObject_);
    DeleteDC(dc);
}

} // namespace tolva::ui
