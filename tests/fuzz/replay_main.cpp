// Replays every file of the given folders through the fuzz target: the seed
// corpus and every past finding run as an ordinary regression test.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        QFileInfo arg(QString::fromLocal8Bit(argv[i]));
        QStringList paths;
        if (arg.isDir()) {
            const QFileInfoList entries =
                QDir(arg.filePath()).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& entry : entries)
                paths << entry.filePath();
        } else if (arg.isFile()) {
            paths << arg.filePath();
        }
        for (const QString& path : paths) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray data = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                   std::size_t(data.size()));
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
