// Turrion art generator: writes the pictures the game paints (art/Art.cpp)
// as PNG files, to look at them or to use them elsewhere.
//
//     turrion_artgen [folder] [--scale N]      (defaults: "assets", 1)
//
// writes every sheet at scale N (1 to 4) as <name>.png into the folder, and
// the program icon at the hicolor sizes as icons/turrion-<size>.png (the
// window's icon and the desktop's). Run it headless with
// QT_QPA_PLATFORM=offscreen; the same scale always gives the same bytes.

#include "art/Art.h"

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

bool Save(const QImage& img, const QDir& dir, const QString& name, QSize size)
{
    const QString path = dir.filePath(name);
    if (img.size() != size) {
        std::fprintf(stderr, "turrion_artgen: %s has the wrong size %dx%d\n", qPrintable(name),
                     img.width(), img.height());
        return false;
    }
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "turrion_artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), size.width(), size.height());
    return true;
}

// The art falls back to other fonts silently; a warning explains why the
// texts look different from the committed pictures.
void WarnOfSubstitutedFonts()
{
    for (const char* family : {"Liberation Serif", "Liberation Sans"}) {
        QFont font(QString::fromLatin1(family));
        font.setPixelSize(20);
        const QFontInfo info(font);
        if (info.family() != QLatin1String(family))
            std::fprintf(stderr, "turrion_artgen: warning: %s substituted by %s\n", family,
                         qPrintable(info.family()));
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: turrion_artgen [folder] [--scale N]   (N from %d to %d)\n",
                 Art::kMinScale, Art::kMaxScale);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QString outDir = QStringLiteral("assets");
    int scale = 1;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            bool ok = false;
            scale = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || scale != Art::ClampScale(scale))
                return Usage();
        } else if (argv[i][0] != '-' && !folderGiven) {
            outDir = QString::fromLocal8Bit(argv[i]);
            folderGiven = true;
        } else {
            return Usage();
        }
    }
    QDir dir(outDir);
    if (!QDir().mkpath(dir.filePath(QStringLiteral("icons")))) {
        std::fprintf(stderr, "turrion_artgen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    WarnOfSubstitutedFonts();

    bool ok = true;
    for (Art::Sheet sheet : Art::kAllSheets)
        ok &= Save(Art::Paint(sheet, scale), dir, QString::fromLatin1(Art::Name(sheet)) + ".png",
                   Art::BaseSize(sheet) * scale);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ok &= Save(Art::Icon(size), dir, QStringLiteral("icons/turrion-%1.png").arg(size),
                   QSize(size, size));
    return ok ? 0 : 1;
}
