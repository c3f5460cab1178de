#include "metadata/fbencryptoraes.h"

#include "common/log.h"

#include <algorithm>
#include <array>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>

namespace {
constexpr qsizetype blockSize = 16;

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

std::optional<QByteArray> failed()
{
    const unsigned long code = ERR_get_error();
    Log::error(QStringLiteral("[ERROR] failed to decrypt| CCCryptoStatus: %1")
                   .arg(static_cast<int>(code)));
    return std::nullopt;
}
} // namespace

std::optional<QByteArray> FBEncryptorAES::decryptData(QByteArrayView data, QByteArrayView key)
{
    if (data.size() % blockSize != 0)
        return std::nullopt;
    std::array<unsigned char, blockSize> fullKey{};
    std::copy_n(key.begin(), std::min(key.size(), blockSize), fullKey.begin());

    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!context ||
        EVP_DecryptInit_ex(context.get(), EVP_aes_128_ecb(), nullptr, fullKey.data(), nullptr) !=
            1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1)
        return failed();

    QByteArray plain(data.size() + blockSize, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    int written = 0;
    int finalWritten = 0;
    if (EVP_DecryptUpdate(context.get(), out, &written,
                          reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<int>(data.size())) != 1 ||
        EVP_DecryptFinal_ex(context.get(), out + written, &finalWritten) != 1)
        return failed();
    plain.truncate(written + finalWritten);
    return plain;
}
