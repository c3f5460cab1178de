#pragma once

#include "importer/copyfailedexception.h"

#include <QString>
#include <QStringList>

// What went wrong with single pictures during one outermost import run, where the
// run goes on with the others: a picture whose folder or name the file system
// refuses (it stays in its source), and sources that disappeared (a card pulled, a
// folder renamed or deleted meanwhile). Once the rest is filed, the run ends as a
// failure that names them.
class RunProblems
{
public:
    void clear();
    bool isEmpty() const { return refused.isEmpty() && vanished.isEmpty(); }

    // Each logs one error line with the path and the reason.
    void pictureRefused(const QString& path, const QString& reason);
    void sourceVanished(const QString& path);

    // The failure text, with the count of pictures the run filed.
    QString report(qint64 filed) const;

private:
    QStringList refused;
    QStringList vanished;
};

// The failure a run ends with when only single pictures failed: the rest of the
// source was filed, so a folder-tree run goes on with its other top folders.
class PicturesLeftBehind : public CopyFailedException
{
public:
    using CopyFailedException::CopyFailedException;
};
