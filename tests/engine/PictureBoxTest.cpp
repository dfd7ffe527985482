// The picture box: its mouse signals.
#include "engine/gui/PictureBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <gtest/gtest.h>

TEST(PictureBoxTest, EveryReleaseIsReportedButOnlyAPressAndReleaseInsideIsAClick)
{
    PictureBox box(QStringLiteral("picViewPort"));
    box.resize(360, 280);
    QStringList seen;
    QObject::connect(&box, &PictureBox::MouseUp, [&](Qt::MouseButton b, QPoint p) {
        seen << QStringLiteral("up %1 at %2,%3").arg(int(b)).arg(p.x()).arg(p.y());
    });
    QObject::connect(&box, &PictureBox::Clicked, [&] { seen << QStringLiteral("click"); });
    auto send = [&](QEvent::Type type, Qt::MouseButton button, QPoint pos) {
        QMouseEvent event(type, pos, pos, button, type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
        QApplication::sendEvent(&box, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, {50, 60});
    send(QEvent::MouseButtonRelease, Qt::LeftButton, {55, 61});
    send(QEvent::MouseButtonPress, Qt::RightButton, {10, 10});
    send(QEvent::MouseButtonRelease, Qt::RightButton, {400, -3}); // outside
    send(QEvent::MouseButtonRelease, Qt::LeftButton, {20, 20});   // without a press
    EXPECT_EQ(seen, (QStringList{"up 1 at 55,61", "click", "up 2 at 400,-3", "up 1 at 20,20"}));
}
