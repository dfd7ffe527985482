#include "engine/gui/PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>

PictureBox::PictureBox(const QString& controlName, QWidget* parent) : QWidget(parent)
{
    setObjectName(controlName);
    // paintEvent covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetPicture(const QImage& image)
{
    // The graphics engine draws into this image with 32-bit pixel rows, so it
    // is kept in that format from the start.
    picture_ = image.format() == QImage::Format_RGB32 ? image
                                                      : image.convertToFormat(QImage::Format_RGB32);
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // Nearest-neighbour: game pixels stay sharp when the box is larger than
    // its picture or the screen has a high pixel density.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), picture_);
}

QPoint PictureBox::PixelAt(QPointF position)
{
    return QPoint(qFloor(position.x()), qFloor(position.y()));
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    pressedInside_ = rect().contains(PixelAt(event->position()));
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = PixelAt(event->position());
    const bool click = pressedInside_ && rect().contains(pos);
    // A press of another button may still be held; the click belongs to the
    // first release only.
    pressedInside_ = false;
    event->accept();
    // A MouseUp handler may close the window that owns this box.
    const QPointer<PictureBox> alive(this);
    emit MouseUp(event->button(), pos);
    if (click && alive)
        emit Clicked();
}
