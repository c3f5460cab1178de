#pragma once

#include "importer/importpreview.h"

#include <QStringList>
#include <QWidget>
#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;
class QTableWidget;

// The part of the card confirmation that tells, before anything is filed, what the
// card holds and which patient folders its new pictures will go into, so a picture
// taken under the wrong patient is caught in time. The preview runs on its own
// thread once the panel is shown; until it ends a busy bar turns, and the question
// above it can be answered at any time.
class CardPreviewPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CardPreviewPanel(QWidget* parent = nullptr);
    ~CardPreviewPanel() override;

    // Starts the preview of the card folders.
    void start(const QStringList& folders);
    // Shows a finished preview (also what start() ends with).
    void showPreview(const QStringList& folders, const ImportPreview::Result& preview);
    bool isPreviewShown() const;

signals:
    void previewShown();

private:
    QLabel* summaryLabel;
    QProgressBar* busyBar;
    QTableWidget* patientTable;
    QLabel* apartLabel;
    QTableWidget* apartTable;
    std::shared_ptr<std::atomic<bool>> cancelled;
};
