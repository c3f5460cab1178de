#pragma once

#include "metadata/exifentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The stateless reader of camera pictures. It does not walk the JPEG or TIFF
// structure: the TIFF header lies at file offset 12 and each tag is found by
// scanning the raw bytes for its tag number. Every offset and count taken from
// the file is checked against the file size before it is used; anything that
// would read past the end makes the read give no record.
//
// A fresh instance may be made for every use; reads of different files may run
// on any thread.
class ExifOperator
{
public:
    // File offset of the TIFF header; stored offsets are relative to it.
    static constexpr qint64 tiffHeaderOffset = 12;
    // Where the tag scan starts.
    static constexpr qint64 tagScanStart = 19;
    // Tags must start inside the first this-many bytes of the file.
    static constexpr qint64 scanWindowSize = 1048576;

    // --- Entry point ---------------------------------------------------------

    // Loads the file and reads it. With isReflectionEncryptionType set, only
    // pictures of encryption type "00" are read. No record when the file cannot
    // be loaded, is refused by the gate, or a reader fails.
    std::optional<ExifEntity> getExifData(const QString& path,
                                          bool isReflectionEncryptionType) const;
    // The same on bytes already loaded; path decides the reader for maker-note
    // version 4 and later (picture extension, or movie index with its movie).
    std::optional<ExifEntity> getExifData(QByteArrayView data, const QString& path,
                                          bool isReflectionEncryptionType) const;

    // Only majorUserTagVersion, minorUserTagVersion and encryptionType may be set.
    ExifEntity getUserTagVersion(QByteArrayView data) const;

    // --- Copy without personal information -----------------------------------

    // Writes the file at path to newFileName with the maker note's personal
    // areas overwritten and the encryption type set to 0xFF, atomically. On
    // failure nothing is written and error (when given) receives the reason; on
    // success error is cleared to a null text.
    void deleteExifCopyFile(const QString& path, const QString& newFileName, QString* error) const;
    // The same change on bytes in memory. False (data untouched) with the reason
    // in error when there is no maker note or its areas lie outside the data.
    bool deletePersonalInformation(QByteArray& data, QString* error) const;

    // --- Tag scan and entries --------------------------------------------------

    // Position of the first p >= offset with bytes[p] == highDecimal and
    // bytes[p + 1] == lowDecimal, p + 1 < size; -1 when none or offset >= size.
    qint64 getTagIndex(QByteArrayView bytes, qint64 size, qint64 offset, int highDecimal,
                       int lowDecimal) const;
    // File offset of the data of the entry at tagIndex (value offset + 12), in
    // 64 bits so that value offsets near 2^32 do not wrap; none when the entry
    // does not lie inside bytes.
    std::optional<quint64> getDataIndex(QByteArrayView bytes, qint64 tagIndex,
                                        bool bigEndianFlag) const;
    // The entry's count bytes at its data offset; none when they run past the end.
    std::optional<QByteArray> getTagData(QByteArrayView data, qint64 tagIndex,
                                         bool bigEndianFlag) const;
    // Exactly tagDataLength bytes at the entry's data offset, whatever its count;
    // none when they run past the end.
    std::optional<QByteArray> getTagData(QByteArrayView data, qint64 tagIndex, qint64 tagDataLength,
                                         bool bigEndianFlag) const;

    // --- Readers ----------------------------------------------------------------

    // Big-endian file, first-variant maker note (2,048 bytes).
    std::optional<ExifEntity> readImageFile(QByteArrayView data) const;
    // Little-endian file, second-variant maker note (3,072 bytes).
    std::optional<ExifEntity> readImageFile2(QByteArrayView data) const;
    // The base readers plus the detailed record.
    std::optional<ExifEntity> readImageFileExtended(QByteArrayView data) const;
    std::optional<ExifEntity> readImageFileExtended2(QByteArrayView data) const;

    // --- Decryption forms (AES-128-ECB, no padding) ----------------------------

    // Decrypts length bytes of buffer from startIndex. None (decryptData left
    // untouched) when length is not a positive multiple of 16 or the range lies
    // outside buffer; otherwise the decrypted bytes, also copied to decryptData.
    std::optional<QByteArray> getDecryptBlockData(QByteArrayView buffer, int startIndex, int length,
                                                  QByteArrayView key,
                                                  QByteArray* decryptData = nullptr) const;
    // The decrypted byte at dataLocation (counted from startIndex) as "%02x".
    std::optional<QString> getDecryptData(QByteArrayView buffer, int startIndex, int blockLength,
                                          QByteArrayView encryptKey, int dataLocation) const;
    // The decrypted byte at dataLocation as one character.
    std::optional<QString> getDecryptDataString(QByteArrayView buffer, int startIndex,
                                                int blockLength, QByteArrayView encryptKey,
                                                int dataLocation) const;
    // subDataLength decrypted bytes from subDataLocation, UTF-8, cut at the first
    // NUL; none when not valid UTF-8.
    std::optional<QString> getDecryptData(QByteArrayView buffer, int startIndex, int blockLength,
                                          QByteArrayView encryptKey, int subDataLocation,
                                          int subDataLength) const;
    // True when bytes are empty or all zero.
    bool checkOnlyTerminator(QByteArrayView bytes) const;

    // --- Patient names ------------------------------------------------------------

    // Joins the "^"-separated components of name in the given order ("00" to
    // "05"); "ff"/"FF" keeps the name; any other order, or too few components,
    // gives the empty text.
    QString formattingPatientName(const QString& name, const QString& nameOrder) const;
};
