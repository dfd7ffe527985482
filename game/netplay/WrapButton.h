// A push button whose caption wraps onto more lines when it is wider than the
// button, as the narrow buttons of the NetPlay window need ("Switch Colors"
// on two lines). The caption itself stays one text.
#pragma once

#include <QFontMetrics>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace Turrion::NetPlay {

class WrapButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    // Breaks `text` at spaces so that no line is wider than `width` (a single
    // word wider than that keeps its own line).
    static QString Wrapped(const QString& text, const QFontMetrics& metrics, int width)
    {
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        auto measure = [&metrics](const QString& s) {
            QString shown = s;
            shown.remove(QLatin1Char('&'));
            return metrics.horizontalAdvance(shown);
        };
        QStringList lines;
        QString line;
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && measure(candidate) > width) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        if (!line.isEmpty())
            lines << line;
        return lines.join(QLatin1Char('\n'));
    }

    // The widest line of `text` in `metrics`, access-key marks not counted.
    static int Widest(const QString& text, const QFontMetrics& metrics)
    {
        int widest = 0;
        for (QString line : text.split(QLatin1Char('\n'))) {
            line.remove(QLatin1Char('&'));
            widest = qMax(widest, metrics.horizontalAdvance(line));
        }
        return widest;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        // A word wider than the button ("NetGame" in a wide desktop font)
        // gets a smaller font rather than losing its ends.
        QFont font = this->font();
        const int room = width() - 8;
        QString text = Wrapped(option.text, QFontMetrics(font), room);
        while (Widest(text, QFontMetrics(font)) > room && font.pointSizeF() > 6.0) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            text = Wrapped(option.text, QFontMetrics(font), room);
        }
        painter.setFont(font);
        option.fontMetrics = QFontMetrics(font);
        option.text = text;
        painter.drawControl(QStyle::CE_PushButton, option);
    }
};

} // namespace Turrion::NetPlay
