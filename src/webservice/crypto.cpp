#include "webservice/crypto.h"

#include "core/log.h"
#include "webservice/serviceconfig.h"

#include <openssl/evp.h>

#include <memory>

namespace Crypto {

namespace {

enum class EDirection
{
    Encrypt,
    Decrypt
};

struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

// The output, or empty on failure.
QByteArray Run(EDirection direction, const QByteArray& input, const QByteArray& key16)
{
    if (key16.size() != 16)
        return QByteArray();
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter> ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return QByteArray();
    const unsigned char* key = reinterpret_cast<const unsigned char*>(key16.constData());
    const int enc = direction == EDirection::Encrypt ? 1 : 0;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key, nullptr, enc) != 1)
        return QByteArray();
    QByteArray buffer(input.size() + 32, Qt::Uninitialized);
    unsigned char* out = reinterpret_cast<unsigned char*>(buffer.data());
    int written = 0;
    if (!input.isEmpty()
        && EVP_CipherUpdate(ctx.get(), out, &written, reinterpret_cast<const unsigned char*>(input.constData()),
                            input.size())
               != 1)
        return QByteArray();
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx.get(), out + written, &tail) != 1)
        return QByteArray();
    buffer.resize(written + tail);
    return buffer;
}

} // namespace

QByteArray LocalStorageKey()
{
    return QByteArray(ServiceConfig::LocalStorageKeyText).left(16);
}

QByteArray EncryptBytes(const QByteArray& plain, const QByteArray& key16)
{
    return Run(EDirection::Encrypt, plain, key16);
}

QByteArray DecryptBytes(const QByteArray& cipher, const QByteArray& key16)
{
    if (cipher.isEmpty() || cipher.size() % 16 != 0)
        return QByteArray();
    return Run(EDirection::Decrypt, cipher, key16);
}

QString EncryptString(const QString& text)
{
    const QByteArray cipher = EncryptBytes(text.toUtf8(), LocalStorageKey());
    if (cipher.isEmpty()) {
        WriteLog("Crypto::EncryptString: encryption failed %x", 0x80004005);
        return QString();
    }
    return QString::fromLatin1(cipher.toBase64());
}

QString DecryptString(const QString& text)
{
    const QByteArray trimmed = text.trimmed().toLatin1();
    if (trimmed.isEmpty())
        return QString();
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(trimmed, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        WriteLog("Crypto::DecryptString: not Base64 %x", 0x800700A0);
        return QString();
    }
    const QByteArray plain = DecryptBytes(decoded.decoded, LocalStorageKey());
    if (plain.isEmpty()) {
        WriteLog("Crypto::DecryptString: decryption failed %x", 0x800700A0);
        return QString();
    }
    return QString::fromUtf8(plain);
}

} // namespace Crypto
