#include "shared/data/Password.h"

#include <QPasswordDigestor>
#include <QtTest>

class TestPassword : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hashedPasswordMatchesOnlyItself();
    void storedForms_data();
    void storedForms();
};

void TestPassword::hashedPasswordMatchesOnlyItself()
{
    const QString hash = HashPassword(QStringLiteral(" 密码 1 "));
    QVERIFY(hash.startsWith(QLatin1String("pbkdf2-sha256$")));
    QVERIFY(!hash.contains(QLatin1String("密码")));
    QVERIFY(PasswordMatches(hash, QStringLiteral(" 密码 1 ")));
    QVERIFY(!PasswordMatches(hash, QStringLiteral("密码 1")));
    QVERIFY(!PasswordMatches(hash, QString()));
    // Salted: the same password never gives the same stored text.
    QVERIFY(HashPassword(QStringLiteral("x")) != HashPassword(QStringLiteral("x")));
    QVERIFY(PasswordMatches(HashPassword(QString()), QString()));
}

void TestPassword::storedForms_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    const QVariant noRow;
    const QVariant null(QMetaType::fromType<QString>());
    QTest::newRow("no row, empty") << noRow << "" << true;
    QTest::newRow("no row, text") << noRow << "a" << false;
    QTest::newRow("null, empty") << null << "" << false;
    QTest::newRow("null, text") << null << "a" << false;
    QTest::newRow("clear, same") << QVariant(QStringLiteral("Ab'1")) << "Ab'1" << true;
    QTest::newRow("clear, case differs") << QVariant(QStringLiteral("Ab1")) << "ab1" << false;
    QTest::newRow("clear, spaces count") << QVariant(QStringLiteral("ab")) << " ab" << false;
    QTest::newRow("clear empty") << QVariant(QString(QLatin1String(""))) << "" << true;
    QTest::newRow("damaged hash") << QVariant(QStringLiteral("pbkdf2-sha256$x$$")) << "" << false;
    // The iteration count comes from the file: one that would freeze the
    // login for hours, or one too small to be a hash, is refused at once.
    // Each is a true hash of "p" with that count, so only the bound refuses it.
    const auto hashWithCount = [](int count) {
        const QByteArray salt("0123456789abcdef");
        const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "p", salt,
                                                                  count, 32);
        return QVariant(QStringLiteral("pbkdf2-sha256$%1$%2$%3")
                            .arg(count)
                            .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64())));
    };
    QTest::newRow("lowest count allowed") << hashWithCount(1000) << "p" << true;
    QTest::newRow("count too small") << hashWithCount(999) << "p" << false;
    QTest::newRow("count too large") << QVariant(hashWithCount(1000).toString().replace(
                                            QStringLiteral("$1000$"), QStringLiteral("$2000000000$")))
                                     << "p" << false;
}

void TestPassword::storedForms()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    QCOMPARE(PasswordMatches(stored, typed), matches);
}

QTEST_GUILESS_MAIN(TestPassword)
#include "tst_password.moc"
