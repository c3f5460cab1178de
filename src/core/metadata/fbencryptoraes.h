#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// AES-128 in ECB mode without padding: each 16-byte block is deciphered on its
// own, so a field's plaintext depends only on the blocks that hold it.
class FBEncryptorAES
{
public:
    // Only the first 16 key bytes are used; a shorter key is padded with zeros.
    // None when data is not a multiple of 16 bytes long or the cipher fails (the
    // failure is logged).
    static std::optional<QByteArray> decryptData(QByteArrayView data, QByteArrayView key);
};
