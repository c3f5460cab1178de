#include "export/exportxmloperator2.h"

namespace {
// The fields in the order the template takes them; true: written with "0x" in front.
const std::vector<BaseExportXmlOperator::Value>& templateValues()
{
    static const std::vector<BaseExportXmlOperator::Value> values = BaseExportXmlOperator::joined(
        {
            {&ExtendedMakerNoteEntity::majorVersion, false},
            {&ExtendedMakerNoteEntity::minorVersion, false},
            {&ExtendedMakerNoteEntity::serial, false},
            {&ExtendedMakerNoteEntity::owner, false},
            {&ExtendedMakerNoteEntity::identifier, false},
            {&ExtendedMakerNoteEntity::timeZone, false},
            {&ExtendedMakerNoteEntity::summerTime, true},
            {&ExtendedMakerNoteEntity::customMode, true},
            {&ExtendedMakerNoteEntity::selectedMag, true},
            {&ExtendedMakerNoteEntity::shootingMode, true},
            {&ExtendedMakerNoteEntity::flashMode, true},
            {&ExtendedMakerNoteEntity::brightness, true},
            {&ExtendedMakerNoteEntity::led, true},
            {&ExtendedMakerNoteEntity::ledLighting, true},
            {&ExtendedMakerNoteEntity::focusMode, true},
            {&ExtendedMakerNoteEntity::afSpot_X, true},
            {&ExtendedMakerNoteEntity::afSpot_Y, true},
            {&ExtendedMakerNoteEntity::hue_AB, true},
            {&ExtendedMakerNoteEntity::hue_MG, true},
            {&ExtendedMakerNoteEntity::contrast, true},
            {&ExtendedMakerNoteEntity::sharpness, true},
            {&ExtendedMakerNoteEntity::dialFunction, true},
            {&ExtendedMakerNoteEntity::autoCropping, true},
            {&ExtendedMakerNoteEntity::cameraPosition, true},
            {&ExtendedMakerNoteEntity::flipDirection, true},
            {&ExtendedMakerNoteEntity::drawingFlag, true},
            {&ExtendedMakerNoteEntity::drawingFlag2, true},
            {&ExtendedMakerNoteEntity::magnification_U, false},
            {&ExtendedMakerNoteEntity::magnification_L, false},
            {&ExtendedMakerNoteEntity::totalCount, false},
            {&ExtendedMakerNoteEntity::workingDistance, false},
        },
        BaseExportXmlOperator::patientAndOperatorValues(),
        {
            {&ExtendedMakerNoteEntity::patientExtraInfo, false},
            {&ExtendedMakerNoteEntity::operatorExtraInfo, false},
        });
    return values;
}

const std::optional<QString>& shippedTemplate()
{
    static const std::optional<QString> text =
        BaseExportXmlOperator::loadTemplate(QStringLiteral("export2.xml"));
    return text;
}
} // namespace

ExportXmlOperator2::ExportXmlOperator2()
    : BaseExportXmlOperator(shippedTemplate(), templateValues())
{
}

ExportXmlOperator2::ExportXmlOperator2(const QString& templateText)
    : BaseExportXmlOperator(templateText, templateValues())
{
}
