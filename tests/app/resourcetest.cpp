#include "applicationicons.h"
#include "camerapicturebuilder.h"
#include "common/applicationresources.h"
#include "helpwindowcontroller.h"
#include "localizedstrings.h"
#include "windowtestsupport.h"

#include <QDirIterator>
#include <QFile>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {
// Every text id the application's sources name: the keys are string literals
// ("ConfigWindow_Title", "ApplicationMessage27", "StatusBarMenu_Quit").
QSet<QString> idsUsedInTheSources()
{
    static const QRegularExpression id(QStringLiteral(
        "\"([A-Z][A-Za-z]*(?:Window|Menu)_[A-Za-z0-9_]+|ApplicationMessage[0-9]+)\""));
    QSet<QString> ids;
    QDirIterator sources(QStringLiteral(TALVOREN_SOURCE_DIR "/src/app"), {"*.cpp", "*.h"});
    while (sources.hasNext()) {
        QFile file(sources.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QRegularExpressionMatch& match :
             id.globalMatch(QString::fromUtf8(file.readAll())))
            ids.insert(match.captured(1));
    }
    return ids;
}

// The message ids of a translation source, as Qt Linguist shows them.
QSet<QString> idsInTranslationSource(const QString& language)
{
    QFile file(
        QStringLiteral(TALVOREN_SOURCE_DIR "/resources/translations/talvoren_%1.ts").arg(language));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << language.toStdString();
    QSet<QString> ids;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("message"))
            ids.insert(reader.attributes().value(QLatin1String("id")).toString());
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return ids;
}

class LanguageGuard
{
public:
    explicit LanguageGuard(const QString& language) { LocalizedStrings::setLanguage(language); }
    ~LanguageGuard() { LocalizedStrings::setLanguage({}); }
};
} // namespace

TEST(LocalizedStringsTest, EveryIdUsedHasATextWithTheSamePlaceholdersInBothLanguagesThatCanBeForced)
{
    const QSet<QString> used = idsUsedInTheSources();
    EXPECT_GE(used.size(), 90);
    const QSet<QString> english = idsInTranslationSource(u"en"_s);
    EXPECT_EQ(english, idsInTranslationSource(u"ja"_s));
    EXPECT_TRUE(english.contains(used)) << (used - english).values().join(' ').toStdString();

    // A translation with another number of placeholders would drop or misplace an argument.
    const QString placeholder = u"%@"_s;
    for (const QString& id : used) {
        QList<qsizetype> placeholders;
        for (const QString& language : LocalizedStrings::availableLanguages()) {
            LanguageGuard guard(language);
            const QString text = LocalizedStrings::string(id);
            EXPECT_FALSE(text.isEmpty()) << language.toStdString() << " " << id.toStdString();
            placeholders << text.count(placeholder);
        }
        EXPECT_EQ(placeholders.first(), placeholders.last()) << id.toStdString();
    }
    for (const char* format :
         {"ApplicationMessage25", "ApplicationMessage26", "ApplicationMessage27"})
        EXPECT_EQ(LocalizedStrings::string(QString::fromLatin1(format)).count(placeholder), 1)
            << format;
    EXPECT_EQ(LocalizedStrings::string(u"NoSuchKey"_s), QString());

    // The language can be forced, and only to one that exists.
    const QString systemLanguage = LocalizedStrings::language();
    for (const auto& [language, close] : {std::pair{"ja", "閉じる"}, std::pair{"en", "Close"}}) {
        LanguageGuard guard(QString::fromLatin1(language));
        EXPECT_EQ(LocalizedStrings::language(), QString::fromLatin1(language));
        EXPECT_EQ(LocalizedStrings::string(u"AlertWindow_CloseButton"_s), QString::fromUtf8(close));
    }
    LanguageGuard unknown(u"xx"_s);
    EXPECT_EQ(LocalizedStrings::language(), systemLanguage);
}

TEST(LocalizedStringsTest, FormattingFillsPlaceholdersOnceAndSurvivesOddFormats)
{
    const auto format = LocalizedStrings::formatText;
    EXPECT_EQ(format("folder %@ missing", {"/a"}), "folder /a missing");
    // An argument is never read as a format itself.
    EXPECT_EQ(format("%@!", {"%@ %% %"}), "%@ %% %!");
    EXPECT_EQ(format("100%% done", {}), "100% done");
    EXPECT_EQ(format("%@ and %@", {"one"}), "one and ");
    EXPECT_EQ(format("%@", {"a", "b"}), "a");
    EXPECT_EQ(format("trailing %", {}), "trailing %");
    EXPECT_EQ(format("%d %s %", {"x"}), "%d %s %");
    EXPECT_EQ(format(QString(), {"x"}), QString());
    const QString huge(100000, QLatin1Char('@'));
    EXPECT_EQ(format(u"%"_s + huge, {"x"}), u"x"_s + huge.mid(1));
}

class ResourceTest : public WindowTest
{
protected:
    void TearDown() override
    {
        ApplicationResources::setOverrideDirectory({});
        LocalizedStrings::setLanguage({});
        WindowTest::TearDown();
    }
};

TEST_F(ResourceTest, EachLanguageHasItsManualTheTrayIconItsColourAndUnreadableFilesStandIns)
{
    QStringList manuals;
    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);
        const QUrl url = HelpWindowController::getPDFUrl();
        ASSERT_TRUE(url.isLocalFile()) << language.toStdString();
        manuals << url.fileName();
        EXPECT_EQ(url.fileName(), LocalizedStrings::string(u"ApplicationMessage8"_s));

        auto* help = open<HelpWindowController>(TalvorenWindowId::HelpWindow);
        EXPECT_EQ(help->document()->status(), QPdfDocument::Status::Ready);
        EXPECT_GE(help->document()->pageCount(), 1);
        help->close();
        processDeferredDeletes();
    }
    EXPECT_NE(manuals.at(0), manuals.at(1));

    // The tray template takes its colour, and unreadable resources leave stand-ins.
    const QIcon shipped = ApplicationIcons::statusBarIcon(Qt::white);
    ASSERT_FALSE(shipped.isNull());
    const QImage shippedImage = shipped.pixmap(32, 32).toImage();
    const int width = shippedImage.width();
    for (int pixel = 0; pixel < width * shippedImage.height(); ++pixel) {
        const QColor colour = shippedImage.pixelColor(pixel % width, pixel / width);
        ASSERT_TRUE(colour.alpha() == 0 || (colour.red() >= 250 && colour.green() >= 250));
    }

    QTemporaryDir resources;
    for (const QString& name : {u"TalvorenStatusBarIconTemplate.svg"_s,
                                LocalizedStrings::string(u"ApplicationMessage8"_s)})
        ASSERT_TRUE(CameraPictureBuilder::writeFile(resources.filePath(name),
                                                    "%PDF-1.4 this is not really a document <svg"));
    ApplicationResources::setOverrideDirectory(resources.path());
    // The tray gets a plain mark instead, and the log names the file.
    StderrCapture log;
    const QIcon fallback = ApplicationIcons::statusBarIcon(Qt::black);
    EXPECT_FALSE(fallback.isNull());
    EXPECT_FALSE(fallback.pixmap(22, 22).toImage().isNull());
    EXPECT_TRUE(log.text().contains("TalvorenStatusBarIconTemplate"));
    EXPECT_FALSE(ApplicationIcons::applicationIcon().isNull());
    // The help window opens empty.
    auto* help = open<HelpWindowController>(TalvorenWindowId::HelpWindow);
    EXPECT_EQ(help->document()->pageCount(), 0);
    EXPECT_TRUE(help->window()->isVisible());
}
