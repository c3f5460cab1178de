#pragma once

#include <QList>
#include <QMap>
#include <QString>

// Pictures counted by the folder they are (or will be) filed into: the folder
// below the destination as the run names it ("000123 Yamada Taro", with the
// camera and day folders when the settings add them) and its full path.
class PatientFolderTally
{
public:
    struct Count
    {
        QString relativeFolder;
        QString folder;
        qint64 count = 0;
        // Pictures without a usable patient ID, filed under "No Information".
        bool isNoInformation() const;
        bool operator==(const Count& other) const = default;
    };

    void add(const QString& relativeFolder, const QString& folder);
    void clear() { counts.clear(); }
    bool isEmpty() const { return counts.isEmpty(); }
    qint64 total() const;
    // By folder name; the "No Information" folders last.
    QList<Count> entries() const;

private:
    QMap<QString, Count> counts;
};
