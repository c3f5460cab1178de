#include "export/exportxmloperator.h"

#include "camerapicturebuilder.h"
#include "common/applicationresources.h"
#include "export/exportxmloperator2.h"
#include "metadata/exifoperator.h"
#include "temphome.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {
// Fields the older sidecar leaves out, and fields written with "0x" in front.
const QSet<QString> absentFromFirstGeneration = {QStringLiteral("owner"),
                                                 QStringLiteral("identifier"),
                                                 QStringLiteral("timeZone"),
                                                 QStringLiteral("summerTime"),
                                                 QStringLiteral("customMode"),
                                                 QStringLiteral("drawingFlag2"),
                                                 QStringLiteral("totalCount"),
                                                 QStringLiteral("workingDistance"),
                                                 QStringLiteral("patientExtraInfo"),
                                                 QStringLiteral("operatorExtraInfo")};

bool isWrittenAsHex(const QString& field)
{
    static const QSet<QString> plain = {
        QStringLiteral("majorVersion"),     QStringLiteral("minorVersion"),
        QStringLiteral("serial"),           QStringLiteral("owner"),
        QStringLiteral("identifier"),       QStringLiteral("timeZone"),
        QStringLiteral("magnification_U"),  QStringLiteral("magnification_L"),
        QStringLiteral("totalCount"),       QStringLiteral("workingDistance"),
        QStringLiteral("patientID"),        QStringLiteral("patientName"),
        QStringLiteral("patientName_A"),    QStringLiteral("patientName_I"),
        QStringLiteral("patientName_P"),    QStringLiteral("patientSex"),
        QStringLiteral("patientBirthDate"), QStringLiteral("patientAge_QR"),
        QStringLiteral("date_QR"),          QStringLiteral("operatorsID"),
        QStringLiteral("operatorsName_A"),  QStringLiteral("operatorsName_I"),
        QStringLiteral("operatorsName_P"),  QStringLiteral("patientExtraInfo"),
        QStringLiteral("operatorExtraInfo")};
    return !plain.contains(field);
}

struct Element
{
    QString name;
    QString text;
};

// The child elements of the root, in document order; empty on a parse error.
std::vector<Element> childElements(const QString& xml, QString* parseError = nullptr)
{
    QXmlStreamReader reader(xml);
    std::vector<Element> elements;
    reader.readNextStartElement(); // the root
    while (reader.readNextStartElement()) {
        const QString name = reader.name().toString();
        elements.push_back({name, reader.readElementText()});
    }
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        if (parseError)
            *parseError = reader.errorString();
        return {};
    }
    return elements;
}

// Every field set to a text of its own: "v<index>".
ExtendedMakerNoteEntity distinctValues()
{
    ExtendedMakerNoteEntity entity;
    int index = 0;
    for (const auto& field : ExtendedMakerNoteEntity::fields())
        entity.*field.member = QStringLiteral("v%1").arg(index++);
    return entity;
}

QString xmllintErrors(const QString& path)
{
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    if (!lint.waitForFinished(60000))
        return QStringLiteral("xmllint did not run");
    if (lint.exitStatus() != QProcess::NormalExit || lint.exitCode() != 0)
        return QString::fromLocal8Bit(lint.readAllStandardError());
    return {};
}
} // namespace

class ExportXmlTest : public testing::Test
{
protected:
    TempHome home;

    // Writes the sidecar text as the import does (UTF-8) and has xmllint read it.
    void expectWellFormedFile(const QString& xml, const QString& name)
    {
        const QString path = home.filePath(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(xml.toUtf8());
        file.close();
        EXPECT_EQ(xmllintErrors(path), QString()) << name.toStdString();
    }
};

TEST_F(ExportXmlTest, EachShippedTemplateTakesItsFieldsInOrderUnderTheirOwnNames)
{
    const ExtendedMakerNoteEntity entity = distinctValues();
    const auto first = ExportXmlOperator().getXmlData(entity);
    const auto second = ExportXmlOperator2().getXmlData(entity);
    ASSERT_TRUE(first.has_value()) << "export.xml template missing or miscounted";
    ASSERT_TRUE(second.has_value()) << "export2.xml template missing or miscounted";

    std::vector<Element> expectedFirst;
    std::vector<Element> expectedSecond;
    int index = 0;
    for (const auto& field : ExtendedMakerNoteEntity::fields()) {
        const QString name = QString::fromLatin1(field.name);
        const Element element{name, (isWrittenAsHex(name) ? QStringLiteral("0x") : QString()) +
                                        QStringLiteral("v%1").arg(index++)};
        expectedSecond.push_back(element);
        if (!absentFromFirstGeneration.contains(name))
            expectedFirst.push_back(element);
    }
    ASSERT_EQ(expectedFirst.size(), 71u);
    ASSERT_EQ(expectedSecond.size(), 81u);

    for (const auto& [xml, expected] :
         {std::pair{*first, expectedFirst}, std::pair{*second, expectedSecond}}) {
        const std::vector<Element> elements = childElements(xml);
        ASSERT_EQ(elements.size(), expected.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(elements[i].name, expected[i].name) << "position " << i + 1;
            EXPECT_EQ(elements[i].text, expected[i].text) << "position " << i + 1;
        }
    }
    expectWellFormedFile(*first, QStringLiteral(".P0001.xml"));
    expectWellFormedFile(*second, QStringLiteral(".P0002.xml"));
}

TEST_F(ExportXmlTest, EmptyAndAbsentFieldsComeOutEmptyWithoutThePrefix)
{
    ExtendedMakerNoteEntity entity;
    entity.shootingMode = QString();
    entity.flashMode = QStringLiteral("1A");
    entity.patientID = QStringLiteral("1A");
    const auto xml = ExportXmlOperator2().getXmlData(entity);
    ASSERT_TRUE(xml.has_value());
    for (const Element& element : childElements(*xml)) {
        if (element.name == QStringLiteral("flashMode"))
            EXPECT_EQ(element.text, QStringLiteral("0x1A"));
        else if (element.name == QStringLiteral("patientID"))
            EXPECT_EQ(element.text, QStringLiteral("1A"));
        else
            EXPECT_EQ(element.text, QString()) << element.name.toStdString();
    }
    expectWellFormedFile(*xml, QStringLiteral(".empty.xml"));
}

TEST(ExportXmlFormatting, PrefixOnlyOnNonEmptyValuesAndDecimalsReadLikeIntValue)
{
    using Operator = BaseExportXmlOperator;
    EXPECT_EQ(Operator::formattingOutputString(std::nullopt, true), QString());
    EXPECT_EQ(Operator::formattingOutputString(QString(), true, true), QString());
    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral("1A"), true), QStringLiteral("0x1A"));
    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral("1A")), QStringLiteral("1A"));

    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral(" -12abc"), false, true),
              QStringLiteral("-12"));
    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral("+7"), true, true),
              QStringLiteral("0x7"));
    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral("ff"), false, true),
              QStringLiteral("0"));
    EXPECT_EQ(Operator::formattingOutputString(QStringLiteral("99999999999999999999"), false, true),
              QStringLiteral("2147483647"));
    EXPECT_EQ(
        Operator::formattingOutputString(QStringLiteral("-99999999999999999999"), false, true),
        QStringLiteral("-2147483648"));
}

TEST_F(ExportXmlTest, NamesWithMarkupCharactersStillGiveWellFormedXml)
{
    ExtendedMakerNoteEntity entity = distinctValues();
    entity.patientName = QStringLiteral("Smith & Sons <Jr.>");
    entity.patientName_A = QStringLiteral("]]> \"quoted\" 'single'");
    entity.patientName_I = QStringLiteral("山田 太郎 😀");
    entity.operatorsName_A = QStringLiteral("</ExtendedMakerNote><evil/>");
    entity.operatorsName_I = QStringLiteral("%@ %% %d");
    entity.operatorsName_P = QStringLiteral("bell\x07tab\tend") + QChar(0xD800) + QChar(0xFFFF);
    entity.patientExtraInfo = QString(300000, QLatin1Char('&'));

    for (const auto& xml :
         {ExportXmlOperator().getXmlData(entity), ExportXmlOperator2().getXmlData(entity)}) {
        ASSERT_TRUE(xml.has_value());
        QString parseError;
        const std::vector<Element> elements = childElements(*xml, &parseError);
        ASSERT_FALSE(elements.empty()) << parseError.toStdString();
        QMap<QString, QString> byName;
        for (const Element& element : elements)
            byName.insert(element.name, element.text);
        EXPECT_EQ(byName.value(QStringLiteral("patientName")), *entity.patientName);
        EXPECT_EQ(byName.value(QStringLiteral("patientName_A")), *entity.patientName_A);
        EXPECT_EQ(byName.value(QStringLiteral("patientName_I")), *entity.patientName_I);
        EXPECT_EQ(byName.value(QStringLiteral("operatorsName_A")), *entity.operatorsName_A);
        EXPECT_EQ(byName.value(QStringLiteral("operatorsName_I")), *entity.operatorsName_I);
        EXPECT_EQ(byName.value(QStringLiteral("operatorsName_P")),
                  QStringLiteral("bell\uFFFDtab\tend\uFFFD\uFFFD"));
        expectWellFormedFile(*xml, QStringLiteral(".markup%1.xml").arg(elements.size()));
    }
}

TEST(ExportXmlTemplates, ATemplateMustTakeExactlyItsValues)
{
    const QString seventy = QStringLiteral("<a>%@</a>").repeated(70);
    const QString eighty = QStringLiteral("<a>%@</a>").repeated(80);
    const ExtendedMakerNoteEntity entity = distinctValues();

    const auto exact =
        ExportXmlOperator(QStringLiteral("<r>100%% ") + seventy + QStringLiteral("%@</r>"))
            .getXmlData(entity);
    ASSERT_TRUE(exact.has_value());
    EXPECT_TRUE(exact->startsWith(QStringLiteral("<r>100% <a>v0</a>")));
    EXPECT_TRUE(exact->endsWith(QStringLiteral("0xv78</r>")));

    EXPECT_FALSE(ExportXmlOperator(seventy).getXmlData(entity));
    EXPECT_FALSE(ExportXmlOperator(seventy + QStringLiteral("%@%@")).getXmlData(entity));
    EXPECT_FALSE(ExportXmlOperator(seventy + QStringLiteral("%@ %d")).getXmlData(entity));
    EXPECT_FALSE(ExportXmlOperator(seventy + QStringLiteral("%@ %")).getXmlData(entity));
    EXPECT_TRUE(ExportXmlOperator2(eighty + QStringLiteral("%@")).getXmlData(entity));
    EXPECT_FALSE(ExportXmlOperator2(seventy + QStringLiteral("%@")).getXmlData(entity));
}

TEST(ExportXmlTemplates, MissingOrUndecodableTemplatesGiveNone)
{
    QTemporaryDir resources;
    ApplicationResources::setOverrideDirectory(resources.path());
    QFile broken(resources.filePath(QStringLiteral("broken.xml.template")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<a>\xff\xfe</a>");
    broken.close();

    EXPECT_FALSE(BaseExportXmlOperator::loadTemplate(QStringLiteral("missing.xml")));
    EXPECT_FALSE(BaseExportXmlOperator::loadTemplate(QStringLiteral("broken.xml")));
    EXPECT_TRUE(BaseExportXmlOperator::loadTemplate(QStringLiteral("export2.xml")));
    ApplicationResources::setOverrideDirectory({});
}

// From a built camera picture through the reader to a sidecar xmllint accepts.
TEST_F(ExportXmlTest, SidecarsOfBuiltPicturesOfBothGenerationsAreWellFormed)
{
    for (const int major : {3, 4}) {
        CameraPictureBuilder builder;
        builder.version(major, 1).patient(QStringLiteral("A&B<1>"),
                                          QStringLiteral("O'Neil & <Co>"));
        builder.maker.operatorsName_A = "Tom & \x01Jerry";
        builder.maker.patientExtraInfo = "<note>&amp</note>";
        const QString picture = builder.write(home.path(), QStringLiteral("IMG_%1.JPG").arg(major));
        const auto exif = ExifOperator().getExifData(picture, false);
        ASSERT_TRUE(exif && exif->extendedMakerNoteEntity) << "generation " << major;

        const auto xml = major < 4
                             ? ExportXmlOperator().getXmlData(*exif->extendedMakerNoteEntity)
                             : ExportXmlOperator2().getXmlData(*exif->extendedMakerNoteEntity);
        ASSERT_TRUE(xml.has_value());
        EXPECT_TRUE(xml->contains(QStringLiteral("A&amp;B&lt;1&gt;")));
        expectWellFormedFile(*xml, QStringLiteral(".IMG_%1.xml").arg(major));
    }
}
