#pragma once

#include <QElapsedTimer>
#include <QString>

// Writes all of text to the descriptor (a terminal); stops at the first error.
void writeToTerminal(int descriptor, const QByteArray& text);

// The progress line of an import on the terminal: files done of the total and the
// folder at hand, on standard error, once the run has taken a second. Nothing at
// all when standard error is not a terminal. Made before the day's log takes over
// standard error, it keeps writing to the terminal.
class ImportProgress
{
public:
    ImportProgress();
    ~ImportProgress();
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;

    // The files of the import, known once it has listed them.
    void setTotal(qsizetype files) { total = files; }
    void update(qsizetype done, const QString& currentFile);

private:
    int terminal = -1;
    qsizetype total = 0;
    bool shown = false;
    QElapsedTimer sinceStart;
    QElapsedTimer sinceShown;
};
