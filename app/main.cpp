// Turrion: a two-player turn-based strategy game.
#include "game/modTurrion.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Turrion");
    QApplication::setApplicationVersion(TURRION_VERSION);
    // Lets the desktop match the windows to the menu entry and its icon.
    QApplication::setDesktopFileName("org.example.Turrion");
    return Turrion::Main(Turrion::JoinCommandLine(QApplication::arguments()));
}
