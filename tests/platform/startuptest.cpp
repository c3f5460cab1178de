#include "camerapicturebuilder.h"
#include "platform/autostartonloginservice.h"
#include "platform/singleinstance.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class AutostartOnLoginServiceTest : public testing::Test
{
protected:
    TempHome home;
    QString folder = home.filePath(u"config/autostart"_s);
    QString executable = u"/opt/talvoren/bin/talvoren"_s;
    AutostartOnLoginService service{executable, folder};

    QString entry(const char* name) const { return folder + u'/' + QLatin1String(name); }
    void writeEntry(const char* name, const QByteArray& content) const
    {
        ASSERT_TRUE(CameraPictureBuilder::writeFile(entry(name), content));
    }
    QByteArray readEntry(const char* name) const
    {
        QFile file(entry(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList entries() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
};

TEST_F(AutostartOnLoginServiceTest, EnableWritesOneEntryOfItsOwnAndDisableRemovesOnlyIt)
{
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem(); // nothing registered: nothing happens
    EXPECT_TRUE(entries().isEmpty());

    // Other programs' entries must survive: one that comes first in the folder, a copy
    // at another place that owns talvoren.desktop, one named with our path as prefix.
    const QByteArrayList others = {
        "[Desktop Entry]\nType=Application\nExec=/usr/bin/backup --quiet\n",
        "[Desktop Entry]\nExec=/home/anna/talvoren/bin/talvoren\n",
        "[Desktop Entry]\nExec=/opt/talvoren/bin/talvoren-cli watch\n"};
    const char* names[] = {"aaa-backup.desktop", "talvoren.desktop", "cli.desktop"};
    for (int i = 0; i < 3; ++i)
        writeEntry(names[i], others[i]);
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem();
    EXPECT_EQ(entries().size(), 3);

    service.enableLoginItem();
    service.enableLoginItem(); // every start enables again: still one entry
    EXPECT_EQ(entries(), QStringList({"aaa-backup.desktop", "cli.desktop", "talvoren-2.desktop",
                                      "talvoren.desktop"}));
    EXPECT_TRUE(readEntry("talvoren-2.desktop").contains("Exec=\"/opt/talvoren/bin/talvoren\"\n"));
    EXPECT_TRUE(service.isEnableLoginItem());

    service.disableLoginItem();
    EXPECT_FALSE(service.isEnableLoginItem());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readEntry(names[i]), others[i]);
    EXPECT_EQ(entries().size(), 3);
}

TEST_F(AutostartOnLoginServiceTest, EnablingKeepsAnExistingEntryAndOnlySwitchesItOn)
{
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
        writeEntry("talvoren.desktop", row.found);
        EXPECT_EQ(service.isEnableLoginItem(), row.active) << row.found.constData();
        service.enableLoginItem();
        EXPECT_EQ(entries(), QStringList({"talvoren.desktop"}));
        EXPECT_EQ(readEntry("talvoren.desktop"), row.enabled);
        EXPECT_TRUE(service.isEnableLoginItem());
    }
}

TEST_F(AutostartOnLoginServiceTest, ExecValuesRoundTripAndMalformedOrHostileEntriesAreSkipped)
{
    const QStringList programs = {u"/opt/Tal voren/bin/talvoren"_s,
                                  u"/opt/a\"b$c`d\\e/100%/talvoren"_s,
                                  u"/opt/line\nbreak\ttab/talvoren"_s};
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
    for (const QString& value :
         {u"\"/opt/unterminated"_s, QString(), u"\"\""_s, u"no-such-program-xyz"_s})
        EXPECT_EQ(AutostartOnLoginService::programOfExecValue(value), std::nullopt)
            << value.toStdString();
    EXPECT_EQ(AutostartOnLoginService::programOfExecValue(u"/bin/x\\s--arg"_s), u"/bin/x"_s);

    const QByteArray ours = "Exec=/opt/talvoren/bin/talvoren\n";
    writeEntry("a-other-group.desktop", "[Other]\n" + ours);
    writeEntry("b-no-group.desktop", ours);
    writeEntry("c-truncated.desktop", "[Desktop Entry]\nExec=\"/opt/talv");
    writeEntry("d-binary.desktop", QByteArray("\x00\xff[\n=\n\x01", 8));
    writeEntry("e-huge.desktop", "[Desktop Entry]\n" + ours + QByteArray(1 << 20, '#'));
    writeEntry("f-not-an-entry.txt", "[Desktop Entry]\n" + ours);
    EXPECT_FALSE(service.isEnableLoginItem());
    service.disableLoginItem();
    EXPECT_EQ(entries().size(), 6);
}

TEST(SingleInstance, OnlyTheFirstHolderWinsUntilItLetsGoOrDies)
{
    TempHome home;
    auto first = std::make_unique<SingleInstance>(u"test.app"_s);
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire());

    // Another process (here: another lock object on the same file) is refused.
    SingleInstance second(u"test.app"_s);
    EXPECT_FALSE(second.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());

    // A lock file whose process id no longer runs, as a crash leaves it, is taken over.
    SingleInstance afterCrash(u"crashed.app"_s);
    ASSERT_TRUE(CameraPictureBuilder::writeFile(
        afterCrash.lockFilePath(), "999999\n" + QCoreApplication::applicationName().toUtf8() +
                                       "\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_TRUE(afterCrash.tryAcquire());
}
