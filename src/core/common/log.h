#pragma once

#include <QString>

// One line per message on standard error, in the form
// "yyyy-MM-dd HH:mm:ss.zzz talvoren[pid:tid] [info]: message". While logging to a
// file is on, standard error points at the day's log file (see LogFile).
namespace Log {
void info(const QString& message);
void debug(const QString& message);
void error(const QString& message);
} // namespace Log
