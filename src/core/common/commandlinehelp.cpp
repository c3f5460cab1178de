#include "common/commandlinehelp.h"

#include "buildinfo.h"

QString CommandLineHelp::text(const QCommandLineParser& parser, const QString& program)
{
    QString help = parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    const qsizetype programEnd = help.indexOf(QLatin1Char(' '), usage.size());
    if (help.startsWith(usage) && programEnd > 0)
        help.replace(usage.size(), programEnd - usage.size(), program);
    return help;
}

QString CommandLineHelp::versionLine(const QString& program)
{
    return QStringLiteral("%1 %2 (build %3)\n")
        .arg(program, QString::fromLatin1(BuildInfo::shortVersion))
        .arg(BuildInfo::buildNumber);
}
