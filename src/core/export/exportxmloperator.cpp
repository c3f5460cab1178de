#include "export/exportxmloperator.h"

ExportXmlOperator::ExportXmlOperator()
    : BaseExportXmlOperator(shippedTemplate(QStringLiteral("export.xml")),
                            MakerNoteGeneration::First)
{
}

ExportXmlOperator::ExportXmlOperator(const QString& templateText)
    : BaseExportXmlOperator(templateText, MakerNoteGeneration::First)
{
}
