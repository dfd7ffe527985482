// The art at every scale: its layout, its bytes, its masks, its sharpness.
#include "assets/Art.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using Art::Sheet;

QRgb Rgb(const QImage& img, QPoint at) { return img.pixel(at) & 0xFFFFFF; }

const struct { Sheet sheet; QSize size; } kLayout[] = {
    {Sheet::Title, {360, 280}}, {Sheet::Background, {360, 280}}, {Sheet::King, {120, 40}},
    {Sheet::Wizard, {120, 40}}, {Sheet::Smith, {120, 40}},       {Sheet::Wall, {120, 40}},
    {Sheet::Fire, {120, 40}},   {Sheet::Cannon, {160, 40}},      {Sheet::CannonBall, {160, 80}},
    {Sheet::Selector, {80, 40}}, {Sheet::Moves, {40, 80}},       {Sheet::Numbers, {200, 40}},
    {Sheet::Grass, {40, 40}},
};

// Colour frames and the masks they are drawn through, x at 1x.
const struct { Sheet sheet; int frameX, maskX; } kMasked[] = {
    {Sheet::King, 0, 80}, {Sheet::King, 40, 80},   {Sheet::Wizard, 0, 80}, {Sheet::Wizard, 40, 80},
    {Sheet::Smith, 0, 80}, {Sheet::Smith, 40, 80}, {Sheet::Wall, 0, 80},   {Sheet::Wall, 40, 80},
    {Sheet::Fire, 0, 80}, {Sheet::Fire, 40, 80},   {Sheet::Cannon, 0, 80}, {Sheet::Cannon, 40, 120},
    {Sheet::Selector, 0, 40},
};

class ArtAtScale : public ::testing::TestWithParam<int> {};

TEST_P(ArtAtScale, SheetsHaveTheScaledLayoutAndTheSameBytesOnEveryRun)
{
    for (const auto& [sheet, size] : kLayout) {
        const QImage picture = Art::Paint(sheet, GetParam());
        EXPECT_EQ(Art::BaseSize(sheet), size) << Art::Name(sheet);
        EXPECT_EQ(picture.size(), size * GetParam()) << Art::Name(sheet);
        EXPECT_EQ(picture.format(), QImage::Format_RGB32) << Art::Name(sheet);
        EXPECT_TRUE(picture == Art::Paint(sheet, GetParam())) << Art::Name(sheet);
    }
}

TEST_P(ArtAtScale, FramesAreBlackExactlyWhereTheirMasksAreWhite)
{
    const int scale = GetParam();
    for (const auto& [sheet, frameX, maskX] : kMasked) {
        const QImage picture = Art::Paint(sheet, scale);
        int figure = 0, wrong = 0;
        for (int y = 0; y < 40 * scale; ++y)
            for (int x = 0; x < 40 * scale; ++x) {
                const QRgb mask = Rgb(picture, {maskX * scale + x, y});
                const bool blackFrame = Rgb(picture, {frameX * scale + x, y}) == 0;
                wrong += (mask != 0 && mask != 0xFFFFFF) || ((mask == 0xFFFFFF) != blackFrame);
                figure += mask == 0;
            }
        EXPECT_EQ(wrong, 0) << Art::Name(sheet) << " frame at x " << frameX;
        EXPECT_GT(figure, 100 * scale * scale) << Art::Name(sheet) << " has a figure";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ArtAtScale, ::testing::Range(Art::kMinScale, Art::kMaxScale + 1));

TEST(Art, BiggerScalesArePaintedNotEnlarged)
{
    for (Sheet sheet : {Sheet::Title, Sheet::Background, Sheet::King, Sheet::Numbers}) {
        const QImage big = Art::Paint(sheet, 2);
        int blocks = 0, mixed = 0;  // an enlarged picture has only uniform 2 x 2 blocks
        for (int y = 0; y < big.height(); y += 2)
            for (int x = 0; x < big.width(); x += 2, ++blocks)
                mixed += big.copy(x, y, 2, 2) != big.copy(x, y, 1, 1).scaled(2, 2);
        EXPECT_GT(mixed, blocks / 10) << Art::Name(sheet);
    }
    EXPECT_EQ(Art::Paint(Sheet::King, 9).size(), Art::BaseSize(Sheet::King) * Art::kMaxScale);
    EXPECT_EQ(Art::Icon(22).size(), QSize(22, 22));
}

} // namespace
