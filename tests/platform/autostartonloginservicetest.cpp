#include "platform/autostartonloginservice.h"

#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
void writeEntry(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readEntry(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class AutostartOnLoginServiceTest : public testing::Test
{
protected:
    TempHome home;
    QString folder = home.filePath(QStringLiteral("config/autostart"));
    QString executable = QStringLiteral("/opt/talvoren/bin/talvoren");
    AutostartOnLoginService service{executable, folder};

    QString entry(const QString& name) const { return QDir(folder).filePath(name); }
    QStringList entries() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
};

TEST_F(AutostartOnLoginServiceTest, EnableWritesOneEntryAndDisableRemovesOnlyIt)
{
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem(); // nothing registered: nothing happens
    EXPECT_TRUE(entries().isEmpty());

    // Other programs' entries come first in the folder and must survive.
    QDir().mkpath(folder);
    const QByteArray other = "[Desktop Entry]\nType=Application\nExec=/usr/bin/backup --quiet\n";
    writeEntry(entry(QStringLiteral("aaa-backup.desktop")), other);

    service.enableLoginItem();
    service.enableLoginItem(); // every start enables again: still one entry
    EXPECT_EQ(entries(), QStringList({"aaa-backup.desktop", "talvoren.desktop"}));
    EXPECT_TRUE(readEntry(entry(QStringLiteral("talvoren.desktop")))
                    .contains("Exec=\"/opt/talvoren/bin/talvoren\"\n"));
    EXPECT_TRUE(service.isEnableLoginItem());

    service.disableLoginItem();
    EXPECT_EQ(entries(), QStringList({"aaa-backup.desktop"}));
    EXPECT_EQ(readEntry(entry(QStringLiteral("aaa-backup.desktop"))), other);
    EXPECT_FALSE(service.isEnableLoginItem());
}

TEST_F(AutostartOnLoginServiceTest, ACopyElsewhereOrWithALongerNameIsNotThisApplication)
{
    QDir().mkpath(folder);
    // A copy at another place owns talvoren.desktop; one named with our path as prefix is another.
    const QByteArray otherCopy = "[Desktop Entry]\nExec=/home/anna/talvoren/bin/talvoren\n";
    const QByteArray longerName = "[Desktop Entry]\nExec=/opt/talvoren/bin/talvoren-cli watch\n";
    writeEntry(entry(QStringLiteral("talvoren.desktop")), otherCopy);
    writeEntry(entry(QStringLiteral("cli.desktop")), longerName);
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem();
    EXPECT_EQ(entries().size(), 2);

    service.enableLoginItem();
    EXPECT_EQ(readEntry(entry(QStringLiteral("talvoren.desktop"))), otherCopy);
    EXPECT_TRUE(QFile::exists(entry(QStringLiteral("talvoren-2.desktop"))));
    EXPECT_TRUE(service.isEnableLoginItem());
    service.disableLoginItem();
    EXPECT_EQ(entries(), QStringList({"cli.desktop", "talvoren.desktop"}));
}

TEST_F(AutostartOnLoginServiceTest, EnablingKeepsAnExistingEntryAndOnlySwitchesItOn)
{
    QDir().mkpath(folder);
    const QByteArray written = "[Desktop Entry]\nName=Practice camera import\n"
                               "Exec=/opt/talvoren/bin/talvoren --volume-root /mnt/cards "
                               "--log-output\nX-GNOME-Autostart-Delay=30\n";
    // Each row: the entry as found, whether it counts, and the entry after enabling.
    const struct
    {
        QByteArray found;
        bool active;
        QByteArray enabled;
    } rows[] = {
        {written, true, written},
        {written + "Hidden=true\n", false, written},
        {written + "X-GNOME-Autostart-enabled=false\n[Other]\nHidden=true\n", false,
         written + "X-GNOME-Autostart-enabled=true\n[Other]\nHidden=true\n"},
    };
    for (const auto& row : rows) {
        writeEntry(entry(QStringLiteral("talvoren.desktop")), row.found);
        EXPECT_EQ(service.isEnableLoginItem(), row.active) << row.found.constData();
        service.enableLoginItem();
        EXPECT_EQ(entries(), QStringList({"talvoren.desktop"}));
        EXPECT_EQ(readEntry(entry(QStringLiteral("talvoren.desktop"))), row.enabled);
        EXPECT_TRUE(service.isEnableLoginItem());
    }
}

TEST_F(AutostartOnLoginServiceTest, ProgramPathsWithSpecialCharactersSurviveTheRoundTrip)
{
    const QStringList programs = {QStringLiteral("/opt/Tal voren/bin/talvoren"),
                                  QStringLiteral("/opt/a\"b$c`d\\e/100%/talvoren"),
                                  QStringLiteral("/opt/line\nbreak\ttab/talvoren")};
    for (const QString& program : programs) {
        const QString value = AutostartOnLoginService::execValueFor(program);
        EXPECT_FALSE(value.contains(QLatin1Char('\n')));
        EXPECT_EQ(AutostartOnLoginService::programOfExecValue(value), program)
            << value.toStdString();

        AutostartOnLoginService copy(program, folder);
        copy.enableLoginItem();
        EXPECT_TRUE(copy.isEnableLoginItem()) << program.toStdString();
        copy.disableLoginItem();
        EXPECT_FALSE(copy.isEnableLoginItem());
    }
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(AutostartOnLoginServiceTest, MalformedAndHostileEntriesAreSkipped)
{
    EXPECT_FALSE(
        AutostartOnLoginService::programOfExecValue(QStringLiteral("\"/opt/unterminated")));
    EXPECT_FALSE(AutostartOnLoginService::programOfExecValue(QString()));
    EXPECT_FALSE(AutostartOnLoginService::programOfExecValue(QStringLiteral("\"\"")));
    EXPECT_FALSE(
        AutostartOnLoginService::programOfExecValue(QStringLiteral("no-such-program-xyz")));
    EXPECT_EQ(AutostartOnLoginService::programOfExecValue(QStringLiteral("/bin/x\\s--arg")),
              QStringLiteral("/bin/x"));

    QDir().mkpath(folder);
    const QByteArray ours = "Exec=/opt/talvoren/bin/talvoren\n";
    writeEntry(entry(QStringLiteral("a-other-group.desktop")), "[Other]\n" + ours);
    writeEntry(entry(QStringLiteral("b-no-group.desktop")), ours);
    writeEntry(entry(QStringLiteral("c-truncated.desktop")), "[Desktop Entry]\nExec=\"/opt/talv");
    writeEntry(entry(QStringLiteral("d-binary.desktop")), QByteArray("\x00\xff[\n=\n\x01", 8));
    writeEntry(entry(QStringLiteral("e-huge.desktop")),
               "[Desktop Entry]\n" + ours + QByteArray(1 << 20, '#'));
    writeEntry(entry(QStringLiteral("f-not-an-entry.txt")), "[Desktop Entry]\n" + ours);
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem();
    EXPECT_EQ(entries().size(), 6);
}
