#include "export/exportxmloperator2.h"

namespace {
// The fields in the order the template takes them; true: written with "0x" in front.
const std::vector<BaseExportXmlOperator::Value>& templateValues()
{
    static const std::vector<BaseExportXmlOperator::Value> values = {
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
        {&ExtendedMakerNoteEntity::patientNameOrder, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_0, true},
        {&ExtendedMakerNoteEntity::patientID, false},
        {&ExtendedMakerNoteEntity::patientName, false},
        {&ExtendedMakerNoteEntity::patientName_A, false},
        {&ExtendedMakerNoteEntity::patientName_I, false},
        {&ExtendedMakerNoteEntity::patientName_P, false},
        {&ExtendedMakerNoteEntity::patientSex, false},
        {&ExtendedMakerNoteEntity::patientBirthDate, false},
        {&ExtendedMakerNoteEntity::patientAge_QR, false},
        {&ExtendedMakerNoteEntity::date_QR, false},
        {&ExtendedMakerNoteEntity::patientInfoFlag_1, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_2, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_3, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_4, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_5, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_6, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_7, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_8, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_9, true},
        {&ExtendedMakerNoteEntity::operatorsNameOrder, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_0, true},
        {&ExtendedMakerNoteEntity::operatorsID, false},
        {&ExtendedMakerNoteEntity::operatorsName_A, false},
        {&ExtendedMakerNoteEntity::operatorsName_I, false},
        {&ExtendedMakerNoteEntity::operatorsName_P, false},
        {&ExtendedMakerNoteEntity::operatorsGroup, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_1, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_2, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_3, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_4, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_5, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_6, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_7, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_8, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_9, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_10, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_11, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_12, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_13, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_14, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_15, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_16, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_17, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_18, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_19, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_20, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_21, true},
        {&ExtendedMakerNoteEntity::patientExtraInfo, false},
        {&ExtendedMakerNoteEntity::operatorExtraInfo, false},
    };
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
