#include "importer/patientfoldertally.h"

#include "importer/importdecision.h"

#include <algorithm>

bool PatientFolderTally::Count::isNoInformation() const
{
    return relativeFolder.split(QLatin1Char('/')).contains(ImportDecision::noInformationFolder());
}

void PatientFolderTally::add(const QString& relativeFolder, const QString& folder)
{
    Count& entry = counts[folder];
    entry.relativeFolder = relativeFolder;
    entry.folder = folder;
    ++entry.count;
}

qint64 PatientFolderTally::total() const
{
    qint64 sum = 0;
    for (const Count& entry : counts)
        sum += entry.count;
    return sum;
}

QList<PatientFolderTally::Count> PatientFolderTally::entries() const
{
    QList<Count> sorted = counts.values();
    std::stable_sort(sorted.begin(), sorted.end(), [](const Count& a, const Count& b) {
        if (a.isNoInformation() != b.isNoInformation())
            return b.isNoInformation();
        return a.relativeFolder < b.relativeFolder;
    });
    return sorted;
}
