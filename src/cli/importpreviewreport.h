#pragma once

#include <QString>
#include <QTextStream>

// talvoren-cli import --dry-run SOURCE: what an import of the folder would do with
// every picture, and the patient folders the new ones go into; nothing is written.
int printImportPreview(const QString& source, QTextStream& out, QTextStream& err);
