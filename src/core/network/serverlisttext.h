#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Reading the small comma-separated lists the maker's server publishes (version
// list, notice lists): UTF-8 text, lines broken at any newline character, fields
// split at every ",", numbers read by their leading numeric part.
class ServerListText
{
public:
    // The lines of the body; none at all when the body is absent or not UTF-8.
    // Every newline character breaks a line on its own (so CR LF leaves an empty
    // line between), including the Unicode line and paragraph separators.
    static QStringList lines(const std::optional<QByteArray>& body);
    // The fields of the lines that hold exactly fieldCount of them, in list order.
    static QList<QStringList> records(const std::optional<QByteArray>& body, qsizetype fieldCount);

    // Leading decimal number after optional blanks and sign ("1.20abc" -> 1.2);
    // 0 when there is none or it is too large to be a number.
    static float leadingFloat(const QString& text);

    // Leading decimal integer after optional blanks and sign; 0 when there is
    // none; values beyond 32 bits stop at the nearest limit.
    static qint32 leadingInteger(const QString& text);
};
