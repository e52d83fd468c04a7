#pragma once
// Obfuscation of values kept in the local settings file (the stored account). AES-128 in ECB mode under a
// key built into the program: it guards against casual reading and corruption, not against a determined
// local attacker.
#include <QByteArray>
#include <QString>

namespace Crypto {

// Base64 of AES-128-ECB (PKCS#7 padding) of the text's UTF-8.
QString EncryptString(const QString& text);
// The reverse; any damaged or foreign input gives an empty text.
QString DecryptString(const QString& text);

// The same over raw bytes with an explicit 16-byte key; empty on failure.
QByteArray EncryptBytes(const QByteArray& plain, const QByteArray& key16);
QByteArray DecryptBytes(const QByteArray& cipher, const QByteArray& key16);

// The 16 key bytes actually used: the first 16 bytes of the fixed key text.
QByteArray LocalStorageKey();

} // namespace Crypto
