#pragma once

#include <QString>
#include <QStringList>

// Every file below the folder (hidden ones too), as sorted paths relative to it.
QStringList filesBelow(const QString& folder);
