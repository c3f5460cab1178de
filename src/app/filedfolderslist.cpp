#include "filedfolderslist.h"

#include "localizedstrings.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

FiledFoldersList::FiledFoldersList(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("filedFoldersList"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setColumnStretch(0, 1);
}

void FiledFoldersList::setFolders(const QList<PatientFolderTally::Count>& folders)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int row = 0;
    for (const PatientFolderTally::Count& folder : folders) {
        auto* name = new QLabel(folder.relativeFolder, this);
        name->setToolTip(folder.folder);
        auto* count = new QLabel(QString::number(folder.count), this);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* open = new QPushButton(
            LocalizedStrings::string(QStringLiteral("CopyResultWindow_OpenFolderButton")), this);
        open->setObjectName(QStringLiteral("openFolderButton%1").arg(row));
        const QString path = folder.folder;
        connect(open, &QPushButton::clicked, this,
                [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
        grid->addWidget(name, row, 0);
        grid->addWidget(count, row, 1);
        grid->addWidget(open, row, 2);
        ++row;
    }
    setVisible(row > 0);
}
