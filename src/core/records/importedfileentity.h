#pragma once

#include "records/baseentity.h"

#include <QString>

// One row of the imported_file table: a picture the import recorded.
class ImportedFileEntity : public BaseEntity
{
public:
    // The picture's new name (last component of its new path).
    const QString& fileName() const { return fileNameValue; }
    void setFileName(const QString& value) { fileNameValue = value; }
    // The camera serial number.
    const QString& cameraId() const { return cameraIdValue; }
    void setCameraId(const QString& value) { cameraIdValue = value; }
    // Start of the import run that recorded the row, as the number yyyyMMddHHmmss.
    qint64 datetime() const { return datetimeValue; }
    void setDatetime(qint64 value) { datetimeValue = value; }
    // Full path of the source file.
    const QString& originalFileName() const { return originalFileNameValue; }
    void setOriginalFileName(const QString& value) { originalFileNameValue = value; }
    // Destination folder joined with the picture's filing path.
    const QString& transferredFolder() const { return transferredFolderValue; }
    void setTransferredFolder(const QString& value) { transferredFolderValue = value; }
    const QString& mirrorImageType() const { return mirrorImageTypeValue; }
    void setMirrorImageType(const QString& value) { mirrorImageTypeValue = value; }
    const QString& drawingFlg() const { return drawingFlgValue; }
    void setDrawingFlg(const QString& value) { drawingFlgValue = value; }
    const QString& mode() const { return modeValue; }
    void setMode(const QString& value) { modeValue = value; }
    // A yyyyMMddHHmmss number.
    qint64 capturedDttm() const { return capturedDttmValue; }
    void setCapturedDttm(qint64 value) { capturedDttmValue = value; }
    // SHA-1 of the source file as 40 hexadecimal digits.
    const QString& hashCode() const { return hashCodeValue; }
    void setHashCode(const QString& value) { hashCodeValue = value; }

private:
    QString fileNameValue;
    QString cameraIdValue;
    qint64 datetimeValue = 0;
    QString originalFileNameValue;
    QString transferredFolderValue;
    QString mirrorImageTypeValue;
    QString drawingFlgValue;
    QString modeValue;
    qint64 capturedDttmValue = 0;
    QString hashCodeValue;
};
