// PavixGames: the general part of the engine. Application and user folders,
// the engine clock and the multi-file text log. It needs QtCore alone.
//
// Everything here runs on the user-interface thread and never reports an error
// to its caller: a log that cannot be written is skipped, a dialog that fails
// returns "".
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QDateTime;

namespace PavixGames {

// Module state, one instance per process.
struct EngineState {
    QString AppPath;               // executable folder, always ends with "/"
    QString ConfigPath;            // where settings are written, ends with "/"
    QString DataPath;              // where logs and received files go, ends with "/"
    int LogLevel = 0;              // 0 off, 1 normal, 2+ verbose
    int EngineLog = 0;             // handle of engine.log, 0 = none
    std::int64_t PerfFrequency = 0;
    std::int64_t PerfStart = 0;
    int LogCount = 0;              // handles handed out so far
    std::vector<QString> LogFiles; // index 1..LogCount; "" once closed
};

// The file the install step puts beside the installed executable. Its
// presence alone counts: a copy that finds it never writes in its own folder.
inline constexpr char kInstalledMarker[] = "installed";

EngineState& Engine();
// The program's folder: the data it reads (sounds, help page).
const QString& AppPath();
// The folders it writes to, chosen by StartEngine. A program folder that can
// be written (a portable copy, the build tree) is used for both, unless it
// holds kInstalledMarker; otherwise they are the user's XDG folders
// (QStandardPaths::AppConfigLocation and AppDataLocation), created when
// missing.
const QString& ConfigPath();
const QString& DataPath();
int LogLevel();

void StartEngine(int level);
void StopEngine();
double GetEngineTime();

int OpenLog(const QString& path, bool append);
void WriteLog(int handle, const QString& text, bool stamp);
void CloseLog(int handle);

// "d-mmm-yyyy, hh:mm:ss" in local time with English month names.
QString TimeStamp(const QDateTime& when);


// ---- Seams for tests -------------------------------------------------------

// The clock of the scheduled steps (PavixSteps.h) can be made manual for
// tests: GetEngineTime then reads it.

// Makes StartEngine use this folder instead of the executable's ("" = off).
// The user folders follow XDG_CONFIG_HOME and XDG_DATA_HOME.
void SetAppPathOverride(const QString& folder);


// Forgets all module state (log handles, level, folder), so each test
// starts from a fresh engine. The clock and the folder override stay as they
// are.
void ResetForTests();

} // namespace PavixGames
