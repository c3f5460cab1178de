#include "export/exportxmloperator.h"

#include "common/applicationresources.h"
#include "export/exportxmloperator2.h"
#include "temphome.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

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
        const Element element{name,
                              (writtenPlain.contains(name) ? QString() : QStringLiteral("0x")) +
                                  QStringLiteral("v%1").arg(index++)};
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
    const QMap<QString, QString> written = {{"flashMode", "0x1A"}, {"patientID", "1A"}};
    for (const Element& element : childElements(*xml))
        EXPECT_EQ(element.text, written.value(element.name)) << element.name.toStdString();
    expectWellFormedFile(*xml, QStringLiteral(".empty.xml"));
}

TEST(ExportXmlFormatting, PrefixOnlyOnNonEmptyValuesAndDecimalsReadLikeIntValue)
{
    const auto written = [](const BaseExportXmlOperator::Text& value, bool isHex, bool isDecimal) {
        return BaseExportXmlOperator::formattingOutputString(value, isHex, isDecimal);
    };
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
        {"operatorsName_P", QStringLiteral("bell\x07tab\tend") + QChar(0xD800) + QChar(0xFFFF)},
        {"patientExtraInfo", QString(300000, QLatin1Char('&'))}};
    ExtendedMakerNoteEntity entity = distinctValues();
    for (const auto& field : ExtendedMakerNoteEntity::fields())
        if (markup.contains(QLatin1String(field.name)))
            entity.*field.member = markup.value(QLatin1String(field.name));
    // Characters XML cannot carry become replacement characters.
    QMap<QString, QString> expected = markup;
    expected.insert("operatorsName_P", QStringLiteral("bell\uFFFDtab\tend\uFFFD\uFFFD"));

    for (const auto& xml :
         {ExportXmlOperator().getXmlData(entity), ExportXmlOperator2().getXmlData(entity)}) {
        ASSERT_TRUE(xml.has_value());
        QString parseError;
        const std::vector<Element> elements = childElements(*xml, &parseError);
        ASSERT_FALSE(elements.empty()) << parseError.toStdString();
        for (const Element& element : elements)
            EXPECT_EQ(element.text, expected.value(element.name, element.text))
                << element.name.toStdString();
        expectWellFormedFile(*xml, QStringLiteral(".markup%1.xml").arg(elements.size()));
    }
}

TEST(ExportXmlTemplates, ATemplateMustTakeExactlyItsValues)
{
    const QString seventy = QStringLiteral("<a>%@</a>").repeated(70);
    const ExtendedMakerNoteEntity entity = distinctValues();
    const auto exact =
        ExportXmlOperator(QStringLiteral("<r>100%% ") + seventy + QStringLiteral("%@</r>"))
            .getXmlData(entity);
    ASSERT_TRUE(exact.has_value());
    EXPECT_TRUE(exact->startsWith(QStringLiteral("<r>100% <a>v0</a>")));
    EXPECT_TRUE(exact->endsWith(QStringLiteral("0xv78</r>")));

    for (const char* wrongEnd : {"", "%@%@", "%@ %d", "%@ %"})
        EXPECT_FALSE(ExportXmlOperator(seventy + QLatin1String(wrongEnd)).getXmlData(entity))
            << wrongEnd;
    EXPECT_TRUE(ExportXmlOperator2(QStringLiteral("<a>%@</a>").repeated(80) + QStringLiteral("%@"))
                    .getXmlData(entity));
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
