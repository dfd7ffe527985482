// The picture box: its mouse signals and how it shows its picture.
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <gtest/gtest.h>
#include <vector>

#include "engine/PictureBox.h"

namespace {

struct Release {
    Qt::MouseButton button;
    QPoint pos;
};

class PictureBoxTest : public ::testing::Test {
protected:
    PictureBoxTest() : box_(QStringLiteral("picViewPort"))
    {
        box_.resize(360, 280);
        QObject::connect(&box_, &PictureBox::MouseUp, [this](Qt::MouseButton b, QPoint p) {
            releases_.push_back({b, p});
        });
        QObject::connect(&box_, &PictureBox::Clicked, [this] { ++clicks_; });
    }

    void Send(QEvent::Type type, Qt::MouseButton button, QPoint pos)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                                                      : Qt::NoButton;
        QMouseEvent event(type, QPointF(pos), QPointF(pos), button, held, Qt::NoModifier);
        QApplication::sendEvent(&box_, &event);
    }

    PictureBox box_;
    std::vector<Release> releases_;
    int clicks_ = 0;
};

} // namespace

TEST_F(PictureBoxTest, EveryReleaseIsReportedButOnlyAPressAndReleaseInsideIsAClick)
{
    Send(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 60));
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(55, 61));
    EXPECT_EQ(clicks_, 1);
    Send(QEvent::MouseButtonPress, Qt::RightButton, QPoint(10, 10));
    Send(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(400, -3)); // outside
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(20, 20));   // no press
    EXPECT_EQ(clicks_, 1);
    ASSERT_EQ(releases_.size(), 3u);
    EXPECT_EQ(releases_[0].button, Qt::LeftButton);
    EXPECT_EQ(releases_[0].pos, QPoint(55, 61));
    EXPECT_EQ(releases_[1].pos, QPoint(400, -3));
}

TEST_F(PictureBoxTest, PaintScalesThePictureWithSharpPixelsOrShowsBlack)
{
    box_.resize(8, 8);
    QImage shown = box_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(7, 7), 0xFF000000u);

    QImage mono(2, 2, QImage::Format_Mono);
    mono.fill(0);
    mono.setColorTable({0xFF0000FFu, 0xFFFFFFFFu});
    mono.setPixel(1, 0, 1);
    box_.SetPicture(mono);
    EXPECT_EQ(box_.Picture().format(), QImage::Format_RGB32);
    shown = box_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(shown.pixel(x, y), box_.Picture().pixel(x / 4, y / 4)) << x << "," << y;
}
