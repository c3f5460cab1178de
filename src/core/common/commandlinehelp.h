#pragma once

#include <QCommandLineParser>
#include <QString>

namespace CommandLineHelp {
// The parser's help with its usage line naming the program plainly ("talvoren-cli
// import") rather than by the path it was called with.
QString text(const QCommandLineParser& parser, const QString& program);
// "PROGRAM VERSION (build NUMBER)" and a newline, what --version prints.
QString versionLine(const QString& program);
// The words every --help ends its description with.
inline const QString exitStatus =
    QStringLiteral("Exit status: 0 done, 1 the work failed, 2 a usage error.");
} // namespace CommandLineHelp
