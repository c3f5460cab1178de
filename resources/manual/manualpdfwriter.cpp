// Builds a user manual PDF from its Markdown text: A4 pages with page numbers,
// fonts embedded (the Japanese manual needs a font with Japanese glyphs, found
// through fontconfig). Run at build time; the output appears only when complete.
//
//     talvoren_manualpdfwriter manual-en.md TalvorenManual.pdf

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextStream>

namespace {
constexpr qreal marginMillimetres = 18;
constexpr int bodyPointSize = 10;
constexpr int resolution = 300;

QString firstHeading(const QString& markdown)
{
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("# ")))
            return line.mid(2).trimmed();
    }
    return {};
}
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    QTextStream errors(stderr);
    if (arguments.size() != 3) {
        errors << "usage: talvoren_manualpdfwriter <manual.md> <manual.pdf>\n";
        return 2;
    }
    QFile source(arguments.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        errors << "cannot read " << arguments.at(1) << "\n";
        return 1;
    }
    const QString markdown = QString::fromUtf8(source.readAll());

    QTextDocument document;
    QFont font(QStringLiteral("Sans Serif"), bodyPointSize);
    font.setStyleHint(QFont::SansSerif);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; }"));
    document.setMarkdown(markdown);

    QSaveFile output(arguments.at(2));
    if (!output.open(QIODevice::WriteOnly)) {
        errors << "cannot write " << arguments.at(2) << "\n";
        return 1;
    }
    {
        QPdfWriter writer(&output);
        writer.setResolution(resolution);
        writer.setTitle(firstHeading(markdown));
        writer.setCreator(QStringLiteral("Talvoren"));
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
            QPageLayout::Millimeter));
        document.print(&writer);
    }
    if (!output.commit()) {
        errors << "cannot write " << arguments.at(2) << "\n";
        return 1;
    }
    return 0;
}
