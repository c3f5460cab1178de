#pragma once

#include "metadata/makernotefields.h"

#include <QString>
#include <QStringList>
#include <optional>

// Fills an XML sidecar template with the fields of a maker note. The template is
// a format text: each "%@" takes the next value, "%%" writes a percent sign.
// Values are escaped for XML, so a name holding "&" or "<" still gives a
// well-formed file. The two sidecar generations differ only in their template and
// in the maker-note generation whose fields they take, in the order of the field
// table (ExportXmlOperator, ExportXmlOperator2).
class BaseExportXmlOperator
{
public:
    using Text = ExtendedMakerNoteEntity::Text;

    virtual ~BaseExportXmlOperator() = default;

    // The filled template; none when the template is missing or does not take
    // exactly the operator's values.
    std::optional<QString> getXmlData(const ExtendedMakerNoteEntity& entity) const;

    // One value as the sidecar writes it: empty when absent or empty; with isDecimal
    // the leading integer ("%d", saturated to 32 bits); with isHex "0x" in front.
    static QString formattingOutputString(const Text& value, bool isHex = false,
                                          bool isDecimal = false);

    // Makes text safe as XML character data: "&", "<", ">" become references and
    // characters XML cannot carry at all (control characters, lone surrogates)
    // become U+FFFD.
    static QString escapedForXml(const QString& text);

    // Reads a shipped template ("export.xml" of type "template"); none when it is
    // missing or unreadable, which is logged.
    static std::optional<QString> loadTemplate(const QString& name);
    // The shipped template of that name, read once per process.
    static const std::optional<QString>& shippedTemplate(const QString& name);

protected:
    BaseExportXmlOperator(std::optional<QString> templateText, MakerNoteGeneration generation);

private:
    std::optional<QString> createXmlData(const ExtendedMakerNoteEntity& entity) const;

    std::optional<QString> templateText;
    MakerNoteGeneration generation;
};
