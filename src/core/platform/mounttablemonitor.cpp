#include "platform/mounttablemonitor.h"

#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool containsMount(const std::vector<MountEntry>& entries, const MountEntry& wanted)
{
    // A mount id is unique while it is mounted; a remount at the same place gets a new one.
    return std::any_of(entries.begin(), entries.end(), [&](const MountEntry& entry) {
        return entry.mountId == wanted.mountId && entry.mountPoint == wanted.mountPoint;
    });
}
} // namespace

MountTableMonitor::MountTableMonitor(QObject* parent) : QObject(parent) {}

MountTableMonitor::~MountTableMonitor()
{
    stop();
}

bool MountTableMonitor::start(const QString& path)
{
    stop();
    descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const std::optional<QByteArray> text = MountTable::readDescriptor(descriptor);
    snapshot = text ? MountTable::parse(*text) : std::vector<MountEntry>{};
    notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Exception);
    connect(notifier.get(), &QSocketNotifier::activated, this, &MountTableMonitor::refresh);
    return true;
}

void MountTableMonitor::stop()
{
    notifier.reset();
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

void MountTableMonitor::refresh()
{
    if (descriptor < 0)
        return;
    const std::optional<QByteArray> text = MountTable::readDescriptor(descriptor);
    // An unreadable table says nothing about the mounts: keep the last snapshot.
    if (!text)
        return;
    std::vector<MountEntry> current = MountTable::parse(*text);
    const std::vector<MountEntry> previous = std::exchange(snapshot, std::move(current));
    bool anyChange = false;
    for (const MountEntry& entry : previous) {
        if (!containsMount(snapshot, entry)) {
            anyChange = true;
            emit unmounted(entry.mountPoint);
        }
    }
    for (const MountEntry& entry : snapshot) {
        if (!containsMount(previous, entry)) {
            anyChange = true;
            emit mounted(entry.mountPoint);
        }
    }
    if (anyChange)
        emit changed();
}
