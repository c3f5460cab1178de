#pragma once

#include "export/baseexportxmloperator.h"

// Sidecars of maker notes of version 4 and later: 81 values.
class ExportXmlOperator2 : public BaseExportXmlOperator
{
public:
    // Fills the shipped template "export2.xml", read once per process.
    ExportXmlOperator2();
    // Fills another template text taking the same values.
    explicit ExportXmlOperator2(const QString& templateText);
};
