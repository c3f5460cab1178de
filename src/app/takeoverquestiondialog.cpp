#include "takeoverquestiondialog.h"

#include "settings/settingsmigration.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Result codes of the two buttons, apart from QDialog::Rejected (Escape, title bar).
constexpr int takeOverResult = 2;
constexpr int doNotTakeOverResult = 3;
} // namespace

int TakeOverQuestionDialog::ask()
{
    QDialog question;
    question.setWindowTitle(SettingsMigration::takeOverMessageText());
    auto* layout = new QVBoxLayout(&question);
    layout->addWidget(new QLabel(SettingsMigration::takeOverMessageText()));
    layout->addWidget(new QLabel(SettingsMigration::takeOverInformativeText()));
    // Neither button has the reject role: dismissing the window must not count as one.
    auto* buttons = new QDialogButtonBox;
    QPushButton* fresh = buttons->addButton(SettingsMigration::doNotTakeOverButtonTitle(),
                                            QDialogButtonBox::ActionRole);
    QPushButton* keep =
        buttons->addButton(SettingsMigration::takeOverButtonTitle(), QDialogButtonBox::ActionRole);
    QObject::connect(fresh, &QPushButton::clicked, &question,
                     [&question] { question.done(doNotTakeOverResult); });
    QObject::connect(keep, &QPushButton::clicked, &question,
                     [&question] { question.done(takeOverResult); });
    layout->addWidget(buttons);
    fresh->setDefault(true);
    question.raise();
    question.activateWindow();

    switch (question.exec()) {
    case takeOverResult:
        return SettingsMigration::TakeOver;
    case doNotTakeOverResult:
        return SettingsMigration::DoNotTakeOver;
    default:
        return noAnswer;
    }
}
