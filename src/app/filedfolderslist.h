#pragma once

#include "importer/patientfoldertally.h"

#include <QWidget>

// The folders an import filed pictures into, one row each: the folder as named
// below the destination, how many pictures went there, and a button that opens it
// in the file manager.
class FiledFoldersList : public QWidget
{
    Q_OBJECT

public:
    explicit FiledFoldersList(QWidget* parent = nullptr);

    void setFolders(const QList<PatientFolderTally::Count>& folders);
};
