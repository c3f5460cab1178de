#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <ostream>
#include <string>
#include <vector>

// The bytes of a file; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Readable GoogleTest output for Qt texts and bytes.
void PrintTo(const QString& text, std::ostream* stream);
void PrintTo(const QByteArray& bytes, std::ostream* stream);

// The record's texts as "name=value" in field order, absent ones left out, so that
// one comparison checks every field and a failure names the field.
template <typename Record, typename Field>
std::string textsOf(const Record& record, const std::vector<Field>& fields)
{
    std::string texts;
    for (const Field& field : fields) {
        if (const auto& text = record.*field.member)
            texts +=
                (texts.empty() ? "" : " ") + std::string(field.name) + '=' + text->toStdString();
    }
    return texts;
}
