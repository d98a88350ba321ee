#include "bill/AmountInCapitals.h"

#include <QtTest>

#include <limits>

class TestAmountInCapitals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void converts_data();
    void converts();
    void refusesOutOfRange_data();
    void refusesOutOfRange();
    void fenCountIsExact();
};

void TestAmountInCapitals::converts_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hundred") << 100.0 << "壹佰元整";
    QTest::newRow("million and a half jiao") << 1000000.5 << "壹佰万元伍角整";
    QTest::newRow("zero jiao before fen") << 12.05 << "壹拾贰元零伍分";
    QTest::newRow("jiao only") << 12.3 << "壹拾贰元叁角整";
    QTest::newRow("below one yuan, jiao") << 0.5 << "伍角整";
    QTest::newRow("below one yuan, fen") << 0.05 << "伍分";
    QTest::newRow("negative") << -3.0 << "负叁元整";
    QTest::newRow("negative with fen") << -12.05 << "负壹拾贰元零伍分";
    QTest::newRow("largest") << 9999999999999.99
                             << "玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分";

    QTest::newRow("inner zeros after wan") << 10005.0 << "壹万零伍元整";
    QTest::newRow("inner zero after bai") << 101.0 << "壹佰零壹元整";
    QTest::newRow("zero yuan group and jiao") << 20000.01 << "贰万元零壹分";
    QTest::newRow("ten yi and one wan") << 1000010000.0 << "壹拾亿零壹万元整";
    QTest::newRow("ten yi") << 1000000000.0 << "壹拾亿元整";
    QTest::newRow("one yi") << 100000000.0 << "壹亿元整";
    QTest::newRow("one yi and five fen") << 100000000.05 << "壹亿元零伍分";

    // No stray 万 when the whole 万 group is zero behind a non-zero 亿.
    QTest::newRow("yi and one yuan") << 100000001.0 << "壹亿零壹元整";
    QTest::newRow("yi and five thousand") << 100005000.0 << "壹亿零伍仟元整";
    QTest::newRow("yi and ten") << 100000010.0 << "壹亿零壹拾元整";
    QTest::newRow("yi and a half yuan") << 100000000.5 << "壹亿元伍角整";
    QTest::newRow("yi, wan group non-zero") << 123456789.0 << "壹亿贰仟叁佰肆拾伍万陆仟柒佰捌拾玖元整";

    // Half to even on the decimal digits as written.
    QTest::newRow("0.125 to even below") << 0.125 << "壹角贰分";
    QTest::newRow("0.155 to even above") << 0.155 << "壹角陆分";
    QTest::newRow("2.675 up") << 2.675 << "贰元陆角捌分";
    QTest::newRow("1.005 down") << 1.005 << "壹元整";
    QTest::newRow("0.1251 beyond half") << 0.1251 << "壹角叁分";

    // Zero and everything that rounds to it: no sign, no table.
    QTest::newRow("zero") << 0.0 << "零元整";
    QTest::newRow("negative zero") << -0.0 << "零元整";
    QTest::newRow("rounds to zero") << 0.004 << "零元整";
    QTest::newRow("negative rounds to zero") << -0.004 << "零元整";
    QTest::newRow("half fen to even zero") << 0.005 << "零元整";
    QTest::newRow("tiny") << 1e-300 << "零元整";
}

void TestAmountInCapitals::converts()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QString error;
    QCOMPARE(AmountInCapitals(amount, &error), expected);
    QVERIFY(error.isEmpty());
}

void TestAmountInCapitals::refusesOutOfRange_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("message");
    const QString range = QStringLiteral("输入的数值的整数位数不能超过 13 位。");
    QTest::newRow("fourteen digits") << 10000000000000.0 << range;
    QTest::newRow("negative fourteen digits") << -10000000000000.0 << range;
    QTest::newRow("rounds up to fourteen digits") << 9999999999999.996 << range;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << range;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN()
                                   << QStringLiteral("输入的不是有效的数值。");
}

void TestAmountInCapitals::refusesOutOfRange()
{
    QFETCH(double, amount);
    QFETCH(QString, message);
    QString error;
    QCOMPARE(AmountInCapitals(amount, &error), QString());
    QCOMPARE(error, message);
}

// Every amount with two decimals up to 100 yuan: the fen count must be the
// written one, where truncating amount * 100 would lose a fen (0.29, 1.13).
void TestAmountInCapitals::fenCountIsExact()
{
    for (qint64 fen = 0; fen <= 10000; ++fen) {
        const double amount =
            QStringLiteral("%1.%2").arg(fen / 100).arg(fen % 100, 2, 10, QLatin1Char('0')).toDouble();
        QCOMPARE(AmountToFen(amount), fen);
        QCOMPARE(AmountToFen(-amount), fen);
    }
    QCOMPARE(AmountInCapitals(0.29), QStringLiteral("贰角玖分"));
    QCOMPARE(AmountInCapitals(1.13), QStringLiteral("壹元壹角叁分"));
}

QTEST_GUILESS_MAIN(TestAmountInCapitals)
#include "tst_amountincapitals.moc"
