// PavixGDI: numbered drawing surfaces, viewports with a back buffer, the
// three raster operations and text.
//
// A picture number names either a workspace (an off-screen surface that the
// engine creates and owns) or an assigned picture (a picture box's own image,
// borrowed). A viewport pairs an on-screen picture box with a workspace of its
// own, its back buffer; a frame is drawn into the back buffer and reaches the
// screen with one FlipViewport. Failures are logged, never reported.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class PictureBox;

namespace PavixGDI {

// Raster operation codes with their usual values.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;  // dst = src
constexpr std::uint32_t SRCAND = 0x008800C6;   // dst = dst AND src
constexpr std::uint32_t SRCPAINT = 0x00EE0086; // dst = dst OR src

struct PicSlot {
    QImage* hDC = nullptr;          // the surface drawn from and to; null = none
    std::unique_ptr<QImage> hBitmap; // the surface when the engine owns it
    int Width = 0;
    int Height = 0;
    bool InUse = false;
    bool Cleared = false;
    bool OwnsDC = false;
};

struct GraphicsState {
    std::vector<PicSlot> Pics;
    int PicCount = 0;
    std::vector<PictureBox*> Viewports; // index 1..ViewportCount (0 unused)
    std::vector<int> ViewportPicNums;   // same index
    int ViewportCount = 0;
};

GraphicsState& Graphics();

// A viewport over the box with a back buffer of width x height pixels,
// `pixelsPerGamePixel` of them to a game pixel (the zoom times the density).
int NewViewport(PictureBox* box, int width, int height, double pixelsPerGamePixel = 1);
int NewPicNum();
void CreateWorkspace(int n, int width, int height);
void AssignPic(int n, PictureBox* box);
void ClearPic(int n);
void BlitPic(int src, int srcX, int srcY, int width, int height, int dst, int dstX, int dstY,
             std::uint32_t rop);
void BlitMasked(int src, int srcX, int srcY, int width, int height, int mask, int maskX,
                int maskY, int dst, int dstX, int dstY);
void FlipViewport(int viewport);
// colour is 0x00BBGGRR; (x, y) is the top-left corner of the text.
void DrawPicText(int n, const QFont& font, std::uint32_t colour, int x, int y,
                 const QString& text);
void StopGraphics();

// The back buffer's picture number of a viewport (0 for an unknown viewport).
int ViewportPic(int viewport);
// The surface behind a picture number, or nullptr when it has none.
QImage* Surface(int n);

// Forgets every picture number and viewport without logging, so each test
// starts from a fresh graphics engine.
void ResetForTests();

constexpr std::uint32_t RGB(int r, int g, int b) {
    return std::uint32_t(r & 255) | (std::uint32_t(g & 255) << 8) | (std::uint32_t(b & 255) << 16);
}

} // namespace PavixGDI
