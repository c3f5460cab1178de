#include "windowtestsupport.h"

#include "talvorenwindowid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

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

void WindowTest::TearDown()
{
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id) {
        if (manager.checkWindow(id))
            manager.getWindowController(id)->close();
    }
    processDeferredDeletes();
}
