#pragma once

#include <QString>
#include <QVariantList>
#include <utility>

// One SQL text with "?" placeholders and the values bound to them in order. Values
// are never written into the text, so a quote or a percent sign in a path or a
// camera serial reaches the database unchanged. A QString binds as text (a null
// QString as the empty text), an integer as a 64-bit integer, a double as a real,
// a QByteArray as a blob and an invalid QVariant as NULL.
struct SqlStatement
{
    SqlStatement() = default;
    // Texts without values (schema changes, constant queries) convert implicitly.
    SqlStatement(QString text) : sql(std::move(text)) {}
    SqlStatement(QString text, QVariantList values)
        : sql(std::move(text)), arguments(std::move(values))
    {
    }

    QString sql;
    QVariantList arguments;
};
