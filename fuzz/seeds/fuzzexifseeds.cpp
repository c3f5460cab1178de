// Writes one camera picture of every kind into the folder given as the argument:
// the starting points from which the fuzzer mutates.
#include "camerapicturebuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_exif_seeds FOLDER\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const auto seed = [&](const char* name, const CameraPictureBuilder& builder) {
        builder.write(folder, QString::fromLatin1(name));
    };
    for (const auto& [major, minor] : {std::pair{1, 0}, {2, 0}, {2, 1}, {2, 2}, {3, 0}, {4, 0}}) {
        CameraPictureBuilder builder;
        builder.version(major, minor);
        seed(qPrintable(QStringLiteral("version%1.%2").arg(major).arg(minor)), builder);
    }
    seed("type01", CameraPictureBuilder().encryptionType(0x01));
    seed("nomakernote", CameraPictureBuilder().withoutMakerNote());
    seed("othercamera", CameraPictureBuilder().otherCamera());
    CameraPictureBuilder names;
    names.maker.patientNameOrder = 0x00;
    names.maker.patientName_I = "山田^太郎^様";
    names.maker.patientExtraInfo = QByteArray(1, '\x01');
    seed("names", names);
    CameraPictureBuilder decoy;
    decoy.version(3, 0);
    decoy.options.bytesBeforeFirstDirectory =
        CameraPictureBuilder::directoryEntry(0x927c, 7, 2048, 0xfffffff8, true);
    seed("decoy", decoy);
    return 0;
}
