#include "export/exportxmloperator.h"

#include "camerapicturebuilder.h"
#include "common/applicationresources.h"
#include "export/exportxmloperator2.h"
#include "temphome.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QSet<QString> nameSet(const char* names)
{
    const QStringList list = QString::fromLatin1(names).split(QLatin1Char(' '));
    return QSet<QString>(list.cbegin(), list.cend());
}

// Fields the older sidecar leaves out, and fields written without "0x" in front.
const QSet<QString> absentFromFirstGeneration =
    nameSet("owner identifier timeZone summerTime customMode drawingFlag2 totalCount "
            "workingDistance patientExtraInfo operatorExtraInfo");
const QSet<QString> writtenPlain = nameSet(
    "majorVersion minorVersion serial owner identifier timeZone magnification_U magnification_L "
    "totalCount workingDistance patientID patientName patientName_A patientName_I patientName_P "
    "patientSex patientBirthDate patientAge_QR date_QR operatorsID operatorsName_A "
    "operatorsName_I operatorsName_P patientExtraInfo operatorExtraInfo");

struct Element
{
    QString name;
    QString text;
    bool operator==(const Element&) const = default;
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
        entity.*field.member = u"v%1"_s.arg(index++);
    return entity;
}

QString xmllintErrors(const QString& path)
{
    QProcess lint;
    lint.start(u"xmllint"_s, {u"--noout"_s, path});
    if (!lint.waitForFinished(60000))
        return u"xmllint did not run"_s;
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
        ASSERT_TRUE(CameraPictureBuilder::writeFile(path, xml.toUtf8()));
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
        const Element element{name, (writtenPlain.contains(name) ? QString() : u"0x"_s) +
                                        u"v%1"_s.arg(index++)};
        expectedSecond.push_back(element);
        if (!absentFromFirstGeneration.contains(name))
            expectedFirst.push_back(element);
    }
    ASSERT_EQ(expectedFirst.size(), 71u);
    ASSERT_EQ(expectedSecond.size(), 81u);

    for (const auto& [xml, expected] :
         {std::pair{*first, expectedFirst}, std::pair{*second, expectedSecond}}) {
        EXPECT_EQ(childElements(xml), expected);
    }
    expectWellFormedFile(*first, u".P0001.xml"_s);
    expectWellFormedFile(*second, u".P0002.xml"_s);
}

TEST_F(ExportXmlTest, EmptyAndAbsentFieldsComeOutEmptyWithoutThePrefix)
{
    ExtendedMakerNoteEntity entity;
    entity.shootingMode = QString();
    entity.flashMode = u"1A"_s;
    entity.patientID = u"1A"_s;
    const auto xml = ExportXmlOperator2().getXmlData(entity);
    ASSERT_TRUE(xml.has_value());
    const QMap<QString, QString> written = {{"flashMode", "0x1A"}, {"patientID", "1A"}};
    for (const Element& element : childElements(*xml))
        EXPECT_EQ(element.text, written.value(element.name)) << element.name.toStdString();
    expectWellFormedFile(*xml, u".empty.xml"_s);
}

TEST(ExportXmlFormatting, PrefixOnlyOnNonEmptyValuesAndDecimalsReadLikeIntValue)
{
    const auto written = BaseExportXmlOperator::formattingOutputString;
    EXPECT_EQ(written(std::nullopt, true, false), QString());
    EXPECT_EQ(written(QString(), true, true), QString());
    EXPECT_EQ(written("1A", true, false), "0x1A");
    EXPECT_EQ(written("1A", false, false), "1A");
    EXPECT_EQ(written(" -12abc", false, true), "-12");
    EXPECT_EQ(written("+7", true, true), "0x7");
    EXPECT_EQ(written("ff", false, true), "0");
    EXPECT_EQ(written("99999999999999999999", false, true), "2147483647");
    EXPECT_EQ(written("-99999999999999999999", false, true), "-2147483648");
}

TEST_F(ExportXmlTest, NamesWithMarkupCharactersStillGiveWellFormedXml)
{
    const QMap<QString, QString> markup = {
        {"patientName", "Smith & Sons <Jr.>"},
        {"patientName_A", "]]> \"quoted\" 'single'"},
        {"patientName_I", "山田 太郎 😀"},
        {"operatorsName_A", "</ExtendedMakerNote><evil/>"},
        {"operatorsName_I", "%@ %% %d"},
        {"operatorsName_P", u"bell\x07tab\tend"_s + QChar(0xD800) + QChar(0xFFFF)},
        {"patientExtraInfo", QString(300000, QLatin1Char('&'))}};
    ExtendedMakerNoteEntity entity = distinctValues();
    for (const auto& field : ExtendedMakerNoteEntity::fields())
        if (markup.contains(QLatin1String(field.name)))
            entity.*field.member = markup.value(QLatin1String(field.name));
    // Characters XML cannot carry become replacement characters.
    QMap<QString, QString> expected = markup;
    expected.insert("operatorsName_P", u"bell\uFFFDtab\tend\uFFFD\uFFFD"_s);

    for (const auto& xml :
         {ExportXmlOperator().getXmlData(entity), ExportXmlOperator2().getXmlData(entity)}) {
        ASSERT_TRUE(xml.has_value());
        QString parseError;
        const std::vector<Element> elements = childElements(*xml, &parseError);
        ASSERT_FALSE(elements.empty()) << parseError.toStdString();
        for (const Element& element : elements)
            EXPECT_EQ(element.text, expected.value(element.name, element.text))
                << element.name.toStdString();
        expectWellFormedFile(*xml, u".markup%1.xml"_s.arg(elements.size()));
    }
}

TEST(ExportXmlTemplates, ATemplateMustTakeExactlyItsValues)
{
    const QString seventy = u"<a>%@</a>"_s.repeated(70);
    const ExtendedMakerNoteEntity entity = distinctValues();
    const auto exact = ExportXmlOperator(u"<r>100%% "_s + seventy + u"%@</r>"_s).getXmlData(entity);
    ASSERT_TRUE(exact.has_value());
    EXPECT_TRUE(exact->startsWith(u"<r>100% <a>v0</a>"_s));
    EXPECT_TRUE(exact->endsWith(u"0xv78</r>"_s));

    for (const char* wrongEnd : {"", "%@%@", "%@ %d", "%@ %"})
        EXPECT_FALSE(ExportXmlOperator(seventy + QLatin1String(wrongEnd)).getXmlData(entity))
            << wrongEnd;
    EXPECT_TRUE(ExportXmlOperator2(u"<a>%@</a>"_s.repeated(80) + u"%@"_s).getXmlData(entity));
    EXPECT_FALSE(ExportXmlOperator2(seventy + u"%@"_s).getXmlData(entity));
}

TEST(ExportXmlTemplates, MissingOrUndecodableTemplatesGiveNone)
{
    QTemporaryDir resources;
    ApplicationResources::setOverrideDirectory(resources.path());
    ASSERT_TRUE(CameraPictureBuilder::writeFile(resources.filePath(u"broken.xml.template"_s),
                                                "<a>\xff\xfe</a>"));

    EXPECT_FALSE(BaseExportXmlOperator::loadTemplate(u"missing.xml"_s));
    EXPECT_FALSE(BaseExportXmlOperator::loadTemplate(u"broken.xml"_s));
    EXPECT_TRUE(BaseExportXmlOperator::loadTemplate(u"export2.xml"_s));
    ApplicationResources::setOverrideDirectory({});
}
