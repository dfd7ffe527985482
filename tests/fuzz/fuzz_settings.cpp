// settings.dat and the command line: any bytes are read without harm.
#include "logic/Settings.h"
#include "game/modTurrion.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QString>
#include <cstdint>

using FuzzSupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    Turrion::WindowPlaces s;
    Turrion::ParseSettings(bytes, s);
    Turrion::WindowPlaces again;
    Turrion::ParseSettings(Turrion::FormatSettings(s), again);
    Check(again.MainLeft == s.MainLeft && again.MainTop == s.MainTop && again.ReportLeft == s.ReportLeft &&
              again.ReportTop == s.ReportTop && again.ChatLeft == s.ChatLeft && again.ChatTop == s.ChatTop,
          "what was read is written back the same way and reads back the same");

    const QString name = Turrion::GameFileFromCommandLine(QString::fromUtf8(bytes));
    Check(name.isEmpty() || name.endsWith(".trs"), "the command line names only a .trs file");
    return 0;
}
