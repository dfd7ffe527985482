// A picture box: a widget that owns one image (its "picture") and shows it.
// The graphics engine borrows that image as the surface of an assigned
// picture number, and a viewport's flip copies its back buffer into it.
#pragma once

#include <QImage>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    // The name is the control name that the engine writes to its log.
    explicit PictureBox(const QString& controlName, QWidget* parent = nullptr);

    QString ControlName() const { return objectName(); }

    // The control's own picture. Assigned picture numbers draw from and to it
    // directly, so it lives as long as the box.
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& image);

    // Inner size in picture pixels (the scale size the engine compares
    // against the back buffer when it flips): on a screen with several
    // device pixels per window pixel, the picture has that many too, so it
    // is shown one to one, sharp.
    int ScaleWidth() const { return qRound(width() * pixelRatio_); }
    int ScaleHeight() const { return qRound(height() * pixelRatio_); }
    // Picture pixels per widget pixel: 1, or the desktop's scale (1.5 at
    // 150 %), so that the picture has one pixel per device pixel.
    void SetPixelRatio(double ratio) { pixelRatio_ = ratio >= 1 ? ratio : 1; }

    // The widget pixel holding a mouse position. With a fractional number of
    // device pixels per widget pixel (1.25, 1.5) the position of a device
    // pixel is fractional: it belongs to the widget pixel it lies in, so it
    // is floored, never rounded (rounding would hand the last device pixel
    // of a cell, or of the box, to the next one).
    static QPoint PixelAt(QPointF position);

signals:
    // A mouse button went up; pos is in widget pixels and may lie outside the
    // box when the press started inside it.
    void MouseUp(Qt::MouseButton button, QPoint pos);
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool pressedInside_ = false;
    double pixelRatio_ = 1;
};
