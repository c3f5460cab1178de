#include "platform/userdefaults.h"

#include <QSettings>
#include <memory>

namespace {
std::unique_ptr<QSettings> openDefaults()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Talvoren"), QStringLiteral("Talvoren"));
}
} // namespace

QVariant UserDefaults::value(const QString& key)
{
    return openDefaults()->value(key);
}

void UserDefaults::setValue(const QString& key, const QVariant& value)
{
    const std::unique_ptr<QSettings> defaults = openDefaults();
    defaults->setValue(key, value);
    defaults->sync();
}

quint64 UserDefaults::unsignedValue(const QString& key)
{
    bool ok = false;
    const quint64 number = value(key).toULongLong(&ok);
    return ok ? number : 0;
}
