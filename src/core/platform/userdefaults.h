#pragma once

#include <QString>
#include <QVariant>

// Per-user values kept outside the settings file, in ~/.config/Talvoren/Talvoren.conf
// (QSettings), such as "EVENT_ID_SD_CARD", the last card-watch event handled.
class UserDefaults
{
public:
    static QVariant value(const QString& key);
    static void setValue(const QString& key, const QVariant& value);
    // The unsigned 64-bit value of the key; 0 when missing or not a number.
    static quint64 unsignedValue(const QString& key);
};
