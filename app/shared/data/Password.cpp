#include "Password.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
// About 50 ms per check on this class of machine: slow for a guesser, not
// noticeable at login.
constexpr int Iterations = 60000;
// The count is read from the stored value, which anyone with the file can
// edit: a huge one would freeze the login for hours, a tiny one is no hash.
constexpr int MinIterations = 1000;
constexpr int MaxIterations = 10000000;
constexpr int KeyLength = 32;
constexpr int SaltLength = 16;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              iterations, KeyLength);
}

// Compares without stopping at the first difference.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

} // namespace

QString HashPassword(const QString &password)
{
    QByteArray salt(SaltLength, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                           SaltLength / int(sizeof(quint32)));
    const QByteArray key = derive(password, salt, Iterations);
    return Scheme + QLatin1Char('$') + QString::number(Iterations) + QLatin1Char('$')
           + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

bool PasswordMatches(const QVariant &stored, const QString &typed)
{
    if (!stored.isValid())
        return typed.isEmpty();
    if (stored.isNull())
        return false;
    const QString value = stored.toString();
    const QStringList parts = value.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != Scheme)
        return value == typed;
    bool ok = false;
    const int iterations = parts.at(1).toInt(&ok);
    if (!ok || iterations < MinIterations || iterations > MaxIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts.at(2).toLatin1());
    const QByteArray key = QByteArray::fromBase64(parts.at(3).toLatin1());
    return sameBytes(derive(typed, salt, iterations), key);
}
