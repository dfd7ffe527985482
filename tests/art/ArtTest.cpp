// The art at every scale: its layout, its bytes, its masks, its sharpness.
#include "art/Art.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using enum Art::Sheet;

const std::pair<Art::Sheet, QSize> kLayout[] = {
    {Title, {360, 280}}, {Background, {360, 280}}, {King, {120, 40}},  {Wizard, {120, 40}},   {Builder, {120, 40}},
    {Wall, {120, 40}},   {Fire, {120, 40}},        {Cannon, {160, 40}}, {CannonBall, {160, 80}},
    {Selector, {80, 40}}, {Moves, {40, 80}},       {Numbers, {200, 40}}, {Grass, {40, 40}},
};

// Colour frames and the masks they are drawn through, x at 1x.
const std::tuple<Art::Sheet, int, int> kMasked[] = {
    {King, 0, 80}, {King, 40, 80}, {Wizard, 0, 80}, {Wizard, 40, 80}, {Builder, 0, 80}, {Builder, 40, 80},  {Wall, 0, 80},
    {Wall, 40, 80}, {Fire, 0, 80}, {Fire, 40, 80},  {Cannon, 0, 80},  {Cannon, 40, 120}, {Selector, 0, 40},
};

class ArtAtScale : public ::testing::TestWithParam<int> {};

TEST_P(ArtAtScale, LayoutSameBytesOnEveryRunExactMasksAndPaintedNotEnlarged)
{
    const int scale = GetParam();
    for (const auto& [sheet, size] : kLayout) {
        const QImage picture = Art::Paint(sheet, scale);
        EXPECT_EQ(std::pair(picture.size(), picture.format()), std::pair(size * scale, QImage::Format_RGB32))
            << Art::Name(sheet);
        EXPECT_TRUE(picture == Art::Paint(sheet, scale)) << Art::Name(sheet);
        if (scale == 2 && (sheet == Title || sheet == Background || sheet == King || sheet == Numbers)) {
            int blocks = 0, mixed = 0; // an enlarged picture has only uniform 2 x 2 blocks
            for (int y = 0; y < picture.height(); y += 2)
                for (int x = 0; x < picture.width(); x += 2, ++blocks)
                    mixed += picture.copy(x, y, 2, 2) != picture.copy(x, y, 1, 1).scaled(2, 2);
            EXPECT_GT(mixed, blocks / 10) << Art::Name(sheet);
        }
    }
    // A frame is black exactly where its mask is white; the mask is black or white, with a figure.
    for (const auto& [sheet, frameX, maskX] : kMasked) {
        const QImage picture = Art::Paint(sheet, scale);
        int figure = 0, wrong = 0;
        for (int y = 0; y < 40 * scale; ++y)
            for (int x = 0; x < 40 * scale; ++x) {
                const QRgb mask = picture.pixel(maskX * scale + x, y) & 0xFFFFFF;
                const bool blackFrame = (picture.pixel(frameX * scale + x, y) & 0xFFFFFF) == 0;
                wrong += (mask != 0 && mask != 0xFFFFFF) || ((mask == 0xFFFFFF) != blackFrame);
                figure += mask == 0;
            }
        EXPECT_EQ(wrong, 0) << Art::Name(sheet) << " frame at x " << frameX;
        EXPECT_GT(figure, 100 * scale * scale) << Art::Name(sheet) << " has a figure";
    }
    EXPECT_EQ(Art::Paint(King, scale + Art::kMaxScale).size(), QSize(120, 40) * Art::kMaxScale); // clamped
    EXPECT_EQ(Art::Icon(22 * scale).size(), QSize(22, 22) * scale);
}

INSTANTIATE_TEST_SUITE_P(Scales, ArtAtScale, ::testing::Range(Art::kMinScale, Art::kMaxScale + 1));

} // namespace
