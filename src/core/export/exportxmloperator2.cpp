#include "export/exportxmloperator2.h"

ExportXmlOperator2::ExportXmlOperator2()
    : BaseExportXmlOperator(shippedTemplate(QStringLiteral("export2.xml")),
                            MakerNoteGeneration::Second)
{
}

ExportXmlOperator2::ExportXmlOperator2(const QString& templateText)
    : BaseExportXmlOperator(templateText, MakerNoteGeneration::Second)
{
}
