#include "windowtestsupport.h"

#include "talvorenwindowid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <cstdio>
#include <unistd.h>

void processDeferredDeletes()
{
    // A freed window may leave queued work and deletions of its own helpers (the
    // PDF view's render thread): a second round serves and frees those too.
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents();
    }
}

QStringList labelTexts(BaseWindowController* controller, std::initializer_list<const char*> names)
{
    QStringList texts;
    for (const char* name : names)
        texts << field<QLabel>(controller, name)->text();
    return texts;
}

StandardErrorCapture::StandardErrorCapture()
{
    if (!file.open())
        return;
    std::fflush(stderr);
    saved = dup(fileno(stderr));
    dup2(file.handle(), fileno(stderr));
}

StandardErrorCapture::~StandardErrorCapture()
{
    if (saved < 0)
        return;
    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
}

QByteArray StandardErrorCapture::text()
{
    std::fflush(stderr);
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

void WindowTest::TearDown()
{
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id) {
        if (manager.checkWindow(id))
            manager.getWindowController(id)->close();
    }
    processDeferredDeletes();
}
