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

class ArtAtScale : public ::testing::TestWithParam<double> {};

TEST_P(ArtAtScale, LayoutSameBytesOnEveryRunExactMasksAndPaintedNotEnlarged)
{
    const double scale = GetParam();
    const auto px = [scale](int layout) { return int(layout * scale); }; // whole at quarter steps
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
        if (scale == 1.5 && (sheet == King || sheet == Title)) {
            // Painted at 1.5, not the 2x picture shrunk (whose lines come
            // out 4, 5 or 6 pixels wide): it differs from that one in many
            // pixels, and 1.25 is a size of its own again.
            const QImage shrunk = Art::Paint(sheet, 2).scaled(picture.size());
            int differ = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    differ += picture.pixel(x, y) != shrunk.pixel(x, y);
            EXPECT_GT(differ, picture.width() * picture.height() / 10) << Art::Name(sheet);
            EXPECT_EQ(Art::Paint(sheet, 1.2).size(), size * 1.25) << "quarter steps";
        }
    }
    // A frame is black exactly where its mask is white; the mask is black or white, with a figure.
    for (const auto& [sheet, frameX, maskX] : kMasked) {
        const QImage picture = Art::Paint(sheet, scale);
        int figure = 0, wrong = 0;
        for (int y = 0; y < px(40); ++y)
            for (int x = 0; x < px(40); ++x) {
                const QRgb mask = picture.pixel(px(maskX) + x, y) & 0xFFFFFF;
                const bool blackFrame = (picture.pixel(px(frameX) + x, y) & 0xFFFFFF) == 0;
                wrong += (mask != 0 && mask != 0xFFFFFF) || ((mask == 0xFFFFFF) != blackFrame);
                figure += mask == 0;
            }
        EXPECT_EQ(wrong, 0) << Art::Name(sheet) << " frame at x " << frameX;
        EXPECT_GT(figure, 100 * scale * scale) << Art::Name(sheet) << " has a figure";
    }
    EXPECT_EQ(Art::Paint(King, scale + Art::kMaxScale).size(), QSize(120, 40) * Art::kMaxScale); // clamped
    EXPECT_EQ(Art::Icon(px(22)).size(), QSize(px(22), px(22)));
}

// The whole scales, and the fractions of desktops scaled by 125, 150 and 175 %.
INSTANTIATE_TEST_SUITE_P(Scales, ArtAtScale, ::testing::Values(1.0, 1.25, 1.5, 1.75, 2.0, 3.0, 4.0));

} // namespace
