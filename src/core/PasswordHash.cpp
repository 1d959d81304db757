#include "core/PasswordHash.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

namespace PasswordHash {

namespace {

const QString scheme = QStringLiteral("pbkdf2-sha256");
constexpr int rounds = 100000;
constexpr int keyLength = 32;

// PBKDF2 with HMAC-SHA256 (RFC 8018); one block is the whole key.
QByteArray derive(const QString& password, const QByteArray& salt, int count)
{
    static_assert(keyLength == 32, "one SHA-256 block");
    QMessageAuthenticationCode hmac(QCryptographicHash::Sha256, password.toUtf8());
    hmac.addData(salt);
    hmac.addData(QByteArray::fromHex("00000001"));
    QByteArray u = hmac.result();
    QByteArray key = u;
    for (int i = 1; i < count; ++i) {
        hmac.reset();
        hmac.addData(u);
        u = hmac.result();
        for (int k = 0; k < keyLength; ++k)
            key[k] = char(key[k] ^ u[k]);
    }
    return key;
}

// Compares in time independent of where the first difference is.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= char(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

QString make(const QString& password)
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    return QStringList{scheme, QString::number(rounds), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password, salt, rounds).toBase64())}
        .join(QLatin1Char('$'));
}

bool accepts(const QString& typed, const QString& hash, const QString& plain)
{
    if (hash.isEmpty())
        return typed == plain;
    const QStringList parts = hash.split(QLatin1Char('$'));
    bool counted = false;
    const int count = parts.size() == 4 ? parts[1].toInt(&counted) : 0;
    if (parts.size() != 4 || parts[0] != scheme || !counted || count <= 0)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    return sameBytes(derive(typed, salt, count), QByteArray::fromBase64(parts[3].toLatin1()));
}

} // namespace PasswordHash
