#include "settings/settingsdictionary.h"

#include "settings/plistnode.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <cstdlib>

namespace {
std::nullopt_t refuse(QString* whyNot, const QString& reason)
{
    if (whyNot)
        *whyNot = reason;
    return std::nullopt;
}

// libplist says only that it failed; the XML reader says where and why.
QString parseFailure(const QByteArray& xml)
{
    if (xml.trimmed().isEmpty())
        return QStringLiteral("the file is empty");
    if (!PlistNode::isNestingWithinLimit(xml))
        return QStringLiteral("it is nested deeper than %1 levels").arg(PlistNode::maximumNesting);
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        return QStringLiteral("XML error at line %1, column %2: %3")
            .arg(reader.lineNumber())
            .arg(reader.columnNumber())
            .arg(reader.errorString().chopped(reader.errorString().endsWith(u'.') ? 1 : 0));
    return QStringLiteral("it is not an XML property list");
}

// "an array", "a string": the root's type for the refusal.
QString withArticle(const QString& typeName)
{
    const bool vowel = QStringLiteral("aeiou").contains(typeName.front());
    return (vowel ? QStringLiteral("an ") : QStringLiteral("a ")) + typeName;
}
} // namespace

std::optional<SettingsDictionary> SettingsDictionary::fromXml(const QByteArray& xml,
                                                              QString* whyNot)
{
    if (xml.size() > maximumFileSize)
        return refuse(whyNot, QStringLiteral("it is larger than %1 bytes").arg(maximumFileSize));
    // Some editors put a byte-order mark before the XML declaration.
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray text = xml.startsWith(bom) ? xml.sliced(bom.size()) : xml;
    const PlistNode root(PlistNode::fromXml(text));
    if (root.get() == nullptr)
        return refuse(whyNot, parseFailure(text));
    if (plist_get_node_type(root.get()) != PLIST_DICT)
        return refuse(whyNot, QStringLiteral("its root holds %1, not a dictionary")
                                  .arg(withArticle(PlistNode::typeName(root.get()))));

    SettingsDictionary dictionary;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root.get(), &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.get(), iterator, &key, &item);
        if (item == nullptr) {
            std::free(key);
            break;
        }
        dictionary.values.insert(QString::fromUtf8(key), PlistNode::toSettingValue(item));
        std::free(key);
    }
    std::free(iterator);
    return dictionary;
}

std::optional<SettingsDictionary> SettingsDictionary::read(const QString& path, QString* whyNot)
{
    // Only a regular file (or a link to one) is read: a folder or a pipe in its
    // place is no settings file.
    const QFileInfo info(path);
    if (!info.isFile())
        return refuse(whyNot, info.exists() ? QStringLiteral("it is not a regular file")
                                            : QStringLiteral("it does not exist"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(whyNot, QStringLiteral("it cannot be read: %1").arg(file.errorString()));
    const QByteArray bytes = file.read(maximumFileSize + 1);
    return fromXml(bytes, whyNot);
}

QByteArray SettingsDictionary::toXml() const
{
    const PlistNode root(plist_new_dict());
    for (auto entry = values.cbegin(); entry != values.cend(); ++entry)
        plist_dict_set_item(root.get(), entry.key().toUtf8().constData(),
                            PlistNode::fromSettingValue(entry.value()));
    return PlistNode::toXml(root.get());
}

bool SettingsDictionary::write(const QString& path) const
{
    const QByteArray xml = toXml();
    if (xml.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s result:
    // a buffered QSaveFile commits a truncated file without reporting it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    for (qsizetype written = 0; written < xml.size();) {
        const qint64 count = file.write(xml.constData() + written, xml.size() - written);
        if (count <= 0) {
            file.cancelWriting();
            return false;
        }
        written += count;
    }
    return file.commit();
}

std::optional<SettingValue> SettingsDictionary::value(const QString& key) const
{
    const auto found = values.constFind(key);
    if (found == values.cend())
        return std::nullopt;
    return *found;
}

void SettingsDictionary::setValue(const QString& key, const SettingValue& value)
{
    values.insert(key, value);
}

bool SettingsDictionary::setValueIfMissing(const QString& key, const SettingValue& value)
{
    if (values.contains(key))
        return false;
    values.insert(key, value);
    return true;
}

bool SettingsDictionary::boolValue(const QString& key, bool missing) const
{
    const auto found = values.constFind(key);
    return found == values.cend() ? missing : found->boolValue();
}

qint64 SettingsDictionary::integerValue(const QString& key, qint64 missing) const
{
    const auto found = values.constFind(key);
    return found == values.cend() ? missing : found->integerValue();
}

double SettingsDictionary::doubleValue(const QString& key, double missing) const
{
    const auto found = values.constFind(key);
    return found == values.cend() ? missing : found->doubleValue();
}

QString SettingsDictionary::stringValue(const QString& key, const QString& missing) const
{
    const auto found = values.constFind(key);
    return found == values.cend() ? missing : found->stringValue();
}
