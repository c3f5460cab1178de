#pragma once

#include "export/baseexportxmloperator.h"

// Sidecars of maker notes before version 4: 71 values.
class ExportXmlOperator : public BaseExportXmlOperator
{
public:
    // Fills the shipped template "export.xml", read once per process.
    ExportXmlOperator();
    // Fills another template text taking the same values.
    explicit ExportXmlOperator(const QString& templateText);
};
