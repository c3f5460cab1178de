#include "importer/importpreview.h"

#include "importfixture.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QFile>
#include <functional>

namespace K = SettingKeys;
using Outcome = ImportDecision::Outcome;

namespace {
struct AgreementCase
{
    const char* name;
    std::function<void(ImportFixture&)> arrange;
    QList<std::optional<Outcome>> outcomes; // in walk order
};
} // namespace

class ImportPreviewTest : public ImportFixture, public ::testing::WithParamInterface<AgreementCase>
{
};

// The preview decides as the run does: the files it names are the files the run
// files, the folders and counts are the run's, and it writes nothing itself.
TEST_P(ImportPreviewTest, AgreesWithTheRunAndWritesNothing)
{
    GetParam().arrange(*this);
    ASSERT_TRUE(UserSettings::write(settings));
    const QStringList before = filesBelow(home.path());

    const ImportPreview::Result preview = ImportPreview::previewFolders({source}, settings);

    EXPECT_EQ(filesBelow(home.path()), before);
    QList<std::optional<Outcome>> outcomes;
    QStringList predicted = filesBelow(destination);
    for (const ImportPreview::Item& item : preview.items) {
        outcomes << item.outcome;
        if (!item.filedPath.isEmpty())
            predicted << item.filedPath.mid(destination.size() + 1);
    }
    EXPECT_EQ(outcomes, GetParam().outcomes);
    importer.clearFiledFolders();
    run();
    predicted.removeDuplicates();
    predicted.sort();
    EXPECT_EQ(filesBelow(destination), predicted);
    EXPECT_TRUE(importer.filedFolders().entries() == preview.filing.entries());
}

INSTANTIATE_TEST_SUITE_P(
    Cards, ImportPreviewTest,
    ::testing::Values(
        AgreementCase{"PatientsAndNoInformation",
                      [](ImportFixture& f) {
                          f.settings.setValue(K::zeroPadding, true);
                          f.put(f.shot("123", "Yamada Taro"), "DCIM/IMG_0001.JPG");
                          f.put(f.shot("123", "Yamada Taro", "2024:05:01 10:16:00"),
                                "DCIM/IMG_0002.JPG");
                          f.put(f.shot("77", "Sato Hana"), "DCIM/IMG_0003.JPG");
                          f.put(f.shot("", ""), "DCIM/IMG_0004.JPG");
                      },
                      {Outcome::File, Outcome::File, Outcome::File, Outcome::File}},
        AgreementCase{"CollisionsDuplicatesAndRefusals",
                      [](ImportFixture& f) {
                          const CameraPictureBuilder picture = f.shot("5", "Ito Jun");
                          f.put(picture, "a/IMG_0001.JPG");
                          f.put(picture, "b/IMG_0001.JPG");
                          f.put(CameraPictureBuilder(picture).serial("LM4B0002"), "c/IMG_0001.JPG");
                          f.put(CameraPictureBuilder(picture).otherCamera(), "c/IMG_0002.JPG");
                          f.put(f.shot("5", "Ito Jun", "2024:05:01"), "c/IMG_0003.JPG");
                      },
                      {Outcome::File, Outcome::DuplicateInRun, Outcome::File,
                       Outcome::NotCameraPicture, Outcome::NoDateTime}},
        AgreementCase{"AlreadyImportedAndTakenNamesAtTheDestination",
                      [](ImportFixture& f) {
                          f.settings.setValue(K::activateAvoidMultipleImportCheck, true);
                          f.put(f.shot("9", "Abe Ken"), "IMG_0001.JPG");
                          f.run();
                          // A different picture already holds the name the next one takes.
                          f.shot("9", "Abe Ken", "2024:05:02 09:00:00")
                              .serial("LM4B0002")
                              .write(f.destination + "/9 Abe Ken", "2024-05-02 090000_Mirr-C1.JPG");
                          f.put(f.shot("9", "Abe Ken", "2024:05:02 09:00:00"), "IMG_0002.JPG");
                      },
                      {Outcome::AlreadyImported, Outcome::File}},
        AgreementCase{"PicturesWithoutPatientAreNotSent",
                      [](ImportFixture& f) {
                          f.settings.setValue(K::notSendingImage, true);
                          f.put(f.shot("", ""), "IMG_0001.JPG");
                          f.put(f.shot("8", "Mori Aki"), "IMG_0002.JPG");
                      },
                      {Outcome::NotSent, Outcome::File}},
        AgreementCase{"LinksOutOfTheSourceAreNotFollowed",
                      [](ImportFixture& f) {
                          const QString outside = f.home.filePath("outside");
                          f.age(f.shot("6", "Out Side").write(outside, "IMG_0001.JPG"));
                          QFile::link(outside, f.source + "/away");
                          f.put(f.shot("6", "In Side"), "IMG_0002.JPG");
                      },
                      {Outcome::File}}),
    [](const ::testing::TestParamInfo<AgreementCase>& info) { return info.param.name; });
