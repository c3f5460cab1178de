#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Readable GoogleTest output for Qt texts and bytes.
void PrintTo(const QString& text, std::ostream* stream);
void PrintTo(const QByteArray& bytes, std::ostream* stream);
