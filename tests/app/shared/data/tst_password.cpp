#include "shared/data/Password.h"

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
