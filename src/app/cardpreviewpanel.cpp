#include "cardpreviewpanel.h"

#include "localizedstrings.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QProgressBar>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QTableWidget* countTable(const QString& firstColumn, QWidget* parent)
{
    auto* table = new QTableWidget(0, 2, parent);
    table->setHorizontalHeaderLabels(
        {firstColumn, LocalizedStrings::string(QStringLiteral("CardPreview_CountColumn"))});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    return table;
}

// Tall enough for its rows, up to five; more scroll.
void fitToRows(QTableWidget* table)
{
    const int rows = std::min(table->rowCount(), 5);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          rows * table->verticalHeader()->defaultSectionSize() +
                          2 * table->frameWidth());
    table->setVisible(table->rowCount() > 0);
}

void addRow(QTableWidget* table, const QString& text, qint64 count)
{
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(text));
    auto* number = new QTableWidgetItem(QString::number(count));
    number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, 1, number);
}

QString outcomeText(const std::optional<ImportDecision::Outcome>& outcome)
{
    using Outcome = ImportDecision::Outcome;
    // What the preview says of a picture the import would not file; a filed one says nothing.
    static const std::pair<Outcome, const char*> keys[] = {
        {Outcome::NotCameraPicture, "CardPreview_NotCameraPicture"},
        {Outcome::NoDateTime, "CardPreview_NoDateTime"},
        {Outcome::NotSent, "CardPreview_NotSent"},
        {Outcome::DuplicateInRun, "CardPreview_DuplicateInRun"},
        {Outcome::AlreadyImported, "CardPreview_AlreadyImported"},
        {Outcome::RecordOnly, "CardPreview_RecordOnly"},
    };
    if (!outcome)
        return LocalizedStrings::string(QStringLiteral("CardPreview_StillWritten"));
    for (const auto& [listed, key] : keys) {
        if (listed == *outcome)
            return LocalizedStrings::text(key);
    }
    return {};
}
} // namespace

CardPreviewPanel::CardPreviewPanel(QWidget* parent)
    : QWidget(parent), summaryLabel(new QLabel(this)), busyBar(new QProgressBar(this)),
      patientTable(
          countTable(LocalizedStrings::string(QStringLiteral("CardPreview_PatientColumn")), this)),
      apartLabel(
          new QLabel(LocalizedStrings::string(QStringLiteral("CardPreview_ApartLabel")), this)),
      apartTable(
          countTable(LocalizedStrings::string(QStringLiteral("CardPreview_ReasonColumn")), this)),
      cancelled(std::make_shared<std::atomic<bool>>(false))
{
    setObjectName(QStringLiteral("cardPreviewPanel"));
    summaryLabel->setObjectName(QStringLiteral("previewSummaryLabel"));
    summaryLabel->setWordWrap(true);
    busyBar->setObjectName(QStringLiteral("previewBusyBar"));
    busyBar->setRange(0, 0);
    busyBar->setTextVisible(false);
    patientTable->setObjectName(QStringLiteral("patientTable"));
    apartTable->setObjectName(QStringLiteral("apartTable"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : {static_cast<QWidget*>(summaryLabel), static_cast<QWidget*>(busyBar),
                            static_cast<QWidget*>(patientTable), static_cast<QWidget*>(apartLabel),
                            static_cast<QWidget*>(apartTable)})
        layout->addWidget(widget);
    summaryLabel->setText(LocalizedStrings::string(QStringLiteral("CardPreview_Reading")));
    patientTable->hide();
    apartLabel->hide();
    apartTable->hide();
}

CardPreviewPanel::~CardPreviewPanel()
{
    // A preview still running stops at its next picture; its thread ends on its own.
    cancelled->store(true);
}

void CardPreviewPanel::start(const QStringList& folders)
{
    auto result = std::make_shared<ImportPreview::Result>();
    const std::shared_ptr<std::atomic<bool>> flag = cancelled;
    QThread* worker = QThread::create([folders, result, flag] {
        const SettingsDictionary settings =
            UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
        *result = ImportPreview::previewFolders(folders, settings, flag.get());
    });
    QPointer<CardPreviewPanel> panel(this);
    connect(worker, &QThread::finished, this, [panel, folders, result, flag] {
        if (panel && !flag->load())
            panel->showPreview(folders, *result);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::LowPriority);
}

void CardPreviewPanel::showPreview(const QStringList& folders, const ImportPreview::Result& preview)
{
    QStringList names;
    for (const QString& folder : folders)
        names << QDir(folder).dirName();
    summaryLabel->setText(LocalizedStrings::format(QStringLiteral("CardPreview_Summary"),
                                                   {names.join(QStringLiteral(", ")),
                                                    QString::number(preview.pictureCount()),
                                                    QString::number(preview.newCount())}));
    busyBar->hide();
    patientTable->setRowCount(0);
    apartTable->setRowCount(0);
    for (const PatientFolderTally::Count& folder : preview.filing.entries())
        addRow(folder.isNoInformation() ? apartTable : patientTable, folder.relativeFolder,
               folder.count);
    QMap<QString, qint64> notFiled;
    for (const ImportPreview::Item& item : preview.items) {
        if (item.outcome != ImportDecision::Outcome::File)
            ++notFiled[outcomeText(item.outcome)];
    }
    for (auto it = notFiled.cbegin(); it != notFiled.cend(); ++it)
        addRow(apartTable, it.key(), it.value());
    fitToRows(patientTable);
    fitToRows(apartTable);
    apartLabel->setVisible(apartTable->rowCount() > 0);
    window()->adjustSize();
    emit previewShown();
}

bool CardPreviewPanel::isPreviewShown() const
{
    return busyBar->isHidden();
}
