#include "recentimportswindowcontroller.h"

#include "common/talvorencommon.h"
#include "localizedstrings.h"
#include "records/importhistory.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "ui_recentimportswindowcontroller.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QPixmap>
#include <QUrl>

namespace {
enum Column
{
    PictureColumn,
    TimeColumn,
    FolderColumn,
    NameColumn,
    OriginalColumn,
    PresentColumn,
    ColumnCount
};

const QSize thumbnailSize(48, 48);

QString filedPathOf(const ImportedFileEntity& record)
{
    return record.transferredFolder() + QLatin1Char('/') + record.fileName();
}

// The record's folder below the destination it went to, else the whole path.
QString patientFolderOf(const ImportedFileEntity& record, const QStringList& destinations)
{
    for (const QString& destination : destinations) {
        if (!destination.isEmpty() &&
            record.transferredFolder().startsWith(destination + QLatin1Char('/')))
            return record.transferredFolder().mid(destination.size() + 1);
    }
    return record.transferredFolder();
}

QString timeOf(qint64 datetime)
{
    const QDateTime time =
        QDateTime::fromString(QString::number(datetime), QStringLiteral("yyyyMMddHHmmss"));
    return time.isValid() ? QLocale().toString(time, QLocale::ShortFormat)
                          : QString::number(datetime);
}
} // namespace

RecentImportsWindowController::RecentImportsWindowController()
{
    filterDelay.setSingleShot(true);
    filterDelay.setInterval(250);
    connect(&filterDelay, &QTimer::timeout, this, &RecentImportsWindowController::reload);
    thumbnailTimer.setInterval(0);
    connect(&thumbnailTimer, &QTimer::timeout, this,
            &RecentImportsWindowController::loadNextThumbnail);
}

RecentImportsWindowController::~RecentImportsWindowController() = default;

void RecentImportsWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::RecentImportsWindowController>();
    ui->setupUi(window);
    ui->recordTable->setColumnCount(ColumnCount);
    ui->recordTable->verticalHeader()->hide();
    ui->recordTable->verticalHeader()->setDefaultSectionSize(thumbnailSize.height() + 4);
    ui->recordTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->recordTable->horizontalHeader()->setSectionResizeMode(FolderColumn, QHeaderView::Stretch);
    connect(ui->filterField, &QLineEdit::textChanged, this, [this](const QString& text) {
        filterText = text.trimmed();
        filterDelay.start();
    });
    connect(ui->recordTable, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { openFolderOfRow(row); });
}

void RecentImportsWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("RecentImportsWindow_Title")));
    ui->filterLabel->setText(
        LocalizedStrings::string(QStringLiteral("RecentImportsWindow_FilterLabel")));
    ui->filterField->setPlaceholderText(
        LocalizedStrings::string(QStringLiteral("RecentImportsWindow_FilterPlaceholder")));
    QStringList headers;
    for (const char* key :
         {"RecentImportsWindow_PictureColumn", "RecentImportsWindow_TimeColumn",
          "RecentImportsWindow_FolderColumn", "RecentImportsWindow_NameColumn",
          "RecentImportsWindow_OriginalColumn", "RecentImportsWindow_PresentColumn"})
        headers << LocalizedStrings::string(QLatin1String(key));
    ui->recordTable->setHorizontalHeaderLabels(headers);
}

void RecentImportsWindowController::showWindow()
{
    BaseWindowController::showWindow();
    reload();
}

void RecentImportsWindowController::setFilterText(const QString& text)
{
    window();
    ui->filterField->setText(text);
    filterDelay.stop();
    reload();
}

int RecentImportsWindowController::shownRecordCount() const
{
    return ui ? ui->recordTable->rowCount() : 0;
}

void RecentImportsWindowController::reload()
{
    ImportHistory::Filter filter;
    filter.patient = filterText;
    filter.limit = recordLimit;
    // Opening a missing database would create it: without one nothing was filed.
    records = QFileInfo::exists(TalvorenCommon::getDBFilePath()) ? ImportHistory().find(filter)
                                                                 : QList<ImportedFileEntity>();
    const SettingsDictionary settings =
        UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    const QStringList destinations = {settings.stringValue(SettingKeys::destinationFolderPath),
                                      settings.stringValue(SettingKeys::destinationFolderPathMov)};
    QTableWidget* table = ui->recordTable;
    table->setRowCount(0);
    table->setRowCount(static_cast<int>(records.size()));
    for (int row = 0; row < records.size(); ++row) {
        const ImportedFileEntity& record = records.at(row);
        const bool present = QFileInfo::exists(filedPathOf(record));
        const QStringList texts = {
            QString(),
            timeOf(record.datetime()),
            patientFolderOf(record, destinations),
            record.fileName(),
            QFileInfo(record.originalFileName()).fileName(),
            LocalizedStrings::string(present ? QStringLiteral("RecentImportsWindow_Present")
                                             : QStringLiteral("RecentImportsWindow_Missing"))};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            if (column == OriginalColumn)
                item->setToolTip(record.originalFileName());
            if (column == NameColumn)
                item->setToolTip(filedPathOf(record));
            table->setItem(row, column, item);
        }
    }
    ui->countLabel->setText(LocalizedStrings::format(QStringLiteral("RecentImportsWindow_Count"),
                                                     {QString::number(records.size())}));
    nextThumbnail = 0;
    thumbnailTimer.start();
}

void RecentImportsWindowController::loadNextThumbnail()
{
    if (nextThumbnail >= records.size()) {
        thumbnailTimer.stop();
        return;
    }
    const int row = nextThumbnail++;
    QImageReader reader(filedPathOf(records.at(row)));
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(size.scaled(thumbnailSize, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (!image.isNull() && ui->recordTable->item(row, PictureColumn))
        ui->recordTable->item(row, PictureColumn)->setIcon(QPixmap::fromImage(image));
}

void RecentImportsWindowController::loadAllThumbnails()
{
    while (thumbnailTimer.isActive())
        loadNextThumbnail();
}

void RecentImportsWindowController::openFolderOfRow(int row) const
{
    if (row < 0 || row >= records.size())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(records.at(row).transferredFolder()));
}
