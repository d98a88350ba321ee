// Cell formatting, number reading and currency arithmetic.

#include "OVCurrency.h"
#include "OVNumber.h"
#include "model/Decimal.h"
#include "model/FormatCell.h"
#include "rows/Aggregate.h"

#include <QtTest>

class tst_GridFormat : public QObject
{
    Q_OBJECT
private slots:
    void formatCell_data();
    void formatCell();
    void formattingTwiceChangesNothing();
    void readsNumbers_data();
    void readsNumbers();
    void numberRule_data();
    void numberRule();
    void leadingNumber_data();
    void leadingNumber();
    void currencyFromText_data();
    void currencyFromText();
    void currencyText();
    void currencyThroughQVariant();
    void currencyArithmetic();
    void aggregates_data();
    void aggregates();
    void productSumIsExact();
};

void tst_GridFormat::formatCell_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    const QString tick(TickMark);

    QTest::newRow("no format keeps the value") << "" << " 12.5 x" << " 12.5 x";
    QTest::newRow("z0.00 blanks zero") << "z0.00" << "0" << "";
    QTest::newRow("z0.00 two decimals") << "z0.00" << "12.5" << "12.50";
    QTest::newRow("z0.00 blanks 0.00") << "z0.00" << "0.00" << "";
    QTest::newRow("z0.00 blanks a word") << "z0.00" << "kg" << "";
    QTest::newRow("z0.00 leading number, unreadable") << "z0.00" << "12kg" << "12kg";
    QTest::newRow("z blanks zero") << "z" << "0" << "";
    QTest::newRow("z blanks empty") << "z" << "" << "";
    QTest::newRow("z keeps other values") << "z" << "3" << "3";
    QTest::newRow("z keeps decimals as typed") << "z" << "3.10" << "3.10";
    QTest::newRow("0.00 rounds half up") << "0.00" << "2.675" << "2.68";
    QTest::newRow("0.00 rounds negatives away from zero") << "0.00" << "-0.005" << "-0.01";
    QTest::newRow("0.00 small negative to zero") << "0.00" << "-0.004" << "0.00";
    QTest::newRow("0.00 exponent") << "0.00" << "1e3" << "1000.00";
    QTest::newRow("0.00 spaces around") << "0.00" << " 12 " << "12.00";
    QTest::newRow("0.00 word unchanged") << "0.00" << "word" << "word";
    QTest::newRow("0.00 two points unchanged") << "0.00" << "12.3.4" << "12.3.4";
    QTest::newRow("0.00 empty unchanged") << "0.00" << "" << "";
    QTest::newRow("0 whole") << "0" << "12.5" << "13";
    QTest::newRow("grouping") << "#,##0.00" << "1234567.891" << "1,234,567.89";
    QTest::newRow("chk empty is ticked") << "chk" << "" << tick;
    QTest::newRow("chk -1") << "chk" << "-1" << tick;
    QTest::newRow("chk true") << "chk" << "True" << tick;
    QTest::newRow("chk 0") << "chk" << "0" << "";
    QTest::newRow("chk False any case") << "chk" << "fALSE" << "";
    QTest::newRow("date from the database") << "yy-mm-dd" << "2023-01-05" << "23-01-05";
    QTest::newRow("date with time") << "yy-mm-dd" << "2023-01-05 10:20:00" << "23-01-05";
    QTest::newRow("date already short") << "yy-mm-dd" << "23-1-5" << "23-01-05";
    QTest::newRow("date slashes") << "yy-mm-dd" << "1999/12/31" << "99-12-31";
    QTest::newRow("date impossible") << "yy-mm-dd" << "2023-02-30" << "2023-02-30";
    QTest::newRow("date word") << "yy-mm-dd" << "soon" << "soon";
    QTest::newRow("long date") << "yyyy-mm-dd" << "23-01-05" << "2023-01-05";
    QTest::newRow("unknown pattern") << "@@" << "abc" << "abc";
    QTest::newRow("0.00 full-width") << "0.00" << "１２．５" << "12.50";
    QTest::newRow("z0.00 blanks full-width zero") << "z0.00" << "０" << "";
    QTest::newRow("0.00 too large to be a number") << "0.00" << "1e15" << "1e15";
    QTest::newRow("0.00 beyond a double") << "0.00" << "1e999" << "1e999";
}

void tst_GridFormat::formatCell()
{
    QFETCH(QString, format);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatCell(format, value), expected);
}

void tst_GridFormat::formattingTwiceChangesNothing()
{
    const QStringList formats{"z", "z0.00", "0.00", "chk", "yy-mm-dd", "#,##0.00"};
    const QStringList values{"0", "12.5", "-3", "word", "", "2023-01-05", "√", "1234.5678", "True"};
    for (const QString &format : formats) {
        for (const QString &value : values) {
            const QString once = FormatCell(format, value);
            // Rows are reformatted only where they hold text; an empty tick
            // cell would turn ticked.
            if (!once.isEmpty())
                QCOMPARE(FormatCell(format, once), once);
        }
    }
}

void tst_GridFormat::readsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "42" << true << 42.0;
    QTest::newRow("spaces") << "  -7.5 " << true << -7.5;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("exponent") << "1.5E2" << true << 150.0;
    QTest::newRow("plus") << "+3" << true << 3.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("comma") << "1,000" << false << 0.0;
    QTest::newRow("inner space") << "1 2" << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
    QTest::newRow("unit") << "12kg" << false << 0.0;
}

void tst_GridFormat::readsNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    const auto number = Decimal::parse(text);
    QCOMPARE(number.has_value(), numeric);
    if (numeric)
        QCOMPARE(number->toDouble(), value);
}

void tst_GridFormat::numberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("stored"); // ovNumberText

    QTest::newRow("integer") << "12" << true << 12.0 << "12";
    QTest::newRow("blanks around") << " 12 " << true << 12.0 << "12";
    QTest::newRow("plus") << "+1.5" << true << 1.5 << "+1.5";
    QTest::newRow("minus") << "-0.5" << true << -0.5 << "-0.5";
    QTest::newRow("leading point") << ".5" << true << 0.5 << ".5";
    QTest::newRow("trailing point") << "12." << true << 12.0 << "12.";
    QTest::newRow("exponent") << "1e3" << true << 1000.0 << "1e3";
    QTest::newRow("full-width digits") << "１２" << true << 12.0 << "12";
    QTest::newRow("full-width point") << "１２．５" << true << 12.5 << "12.5";
    QTest::newRow("full-width sign, ideographic blanks") << "\u3000－３\u3000" << true << -3.0 << "-3";
    QTest::newRow("largest") << "999999999999999" << true << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e15 is too large") << "1e15" << false << 0.0 << "";
    QTest::newRow("beyond a double") << "1e999" << false << 0.0 << "";
    QTest::newRow("inf") << "inf" << false << 0.0 << "";
    QTest::newRow("-inf") << "-inf" << false << 0.0 << "";
    QTest::newRow("nan") << "nan" << false << 0.0 << "";
    QTest::newRow("thousands separator") << "1,234" << false << 0.0 << "";
    QTest::newRow("unit after") << "12kg" << false << 0.0 << "";
    QTest::newRow("empty") << "" << false << 0.0 << "";
    QTest::newRow("blank") << " " << false << 0.0 << "";
    QTest::newRow("hexadecimal") << "0x10" << false << 0.0 << "";
    QTest::newRow("two signs") << "--1" << false << 0.0 << "";
}

void tst_GridFormat::numberRule()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    QFETCH(QString, stored);

    const auto number = ovReadNumber(text);
    QCOMPARE(number.has_value(), numeric);
    if (numeric)
        QCOMPARE(*number, value);
    QCOMPARE(ovNumberText(text), stored);
}

void tst_GridFormat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("unit after") << "12.5kg" << 12.5;
    QTest::newRow("word") << "kg" << 0.0;
    QTest::newRow("spaces and sign") << "  -3x" << -3.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("two points") << "1.2.3" << 1.2;
}

void tst_GridFormat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Decimal::parseLeading(text).toDouble(), value);
}

void tst_GridFormat::currencyFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("raw");
    QTest::newRow("four decimals") << "12.3456" << qint64(123456);
    QTest::newRow("half to even, down") << "12.34565" << qint64(123456);
    QTest::newRow("half to even, up") << "12.34575" << qint64(123458);
    QTest::newRow("just above half") << "0.000050001" << qint64(1);
    QTest::newRow("tiny half") << "0.00005" << qint64(0);
    QTest::newRow("negative half") << "-0.00015" << qint64(-2);
    QTest::newRow("one tenth") << "0.1" << qint64(1000);
    QTest::newRow("exponent") << "2.5e-3" << qint64(25);
    QTest::newRow("large") << "922337203685477.5807" << std::numeric_limits<qint64>::max();
}

void tst_GridFormat::currencyFromText()
{
    QFETCH(QString, text);
    QFETCH(qint64, raw);
    const auto value = OVCurrency::fromText(text);
    QVERIFY(value);
    QCOMPARE(value->raw(), raw);
}

void tst_GridFormat::currencyText()
{
    QCOMPARE(OVCurrency::fromRaw(125000).toString(), QStringLiteral("12.5"));
    QCOMPARE(OVCurrency::fromRaw(120000).toString(), QStringLiteral("12"));
    QCOMPARE(OVCurrency::fromRaw(-1).toString(), QStringLiteral("-0.0001"));
    QCOMPARE(OVCurrency().toString(), QStringLiteral("0"));
    QCOMPARE(OVCurrency::fromRaw(std::numeric_limits<qint64>::min()).toString(),
             QStringLiteral("-922337203685477.5808"));
    QCOMPARE(OVCurrency::fromRaw(123450).toFixed(2), QStringLiteral("12.35"));
    QCOMPARE(OVCurrency::fromRaw(-123450).toFixed(2), QStringLiteral("-12.35"));
    QCOMPARE(OVCurrency().toFixed(2), QStringLiteral("0.00"));
    QVERIFY(!OVCurrency::fromText(QStringLiteral("922337203685477.5808")));
    QVERIFY(!OVCurrency::fromText(QStringLiteral("abc")));
    QCOMPARE(OVCurrency::fromDouble(2.675)->raw(), qint64(26750));
    QCOMPARE(OVCurrency::fromLeadingNumber(u"3.5 m").raw(), qint64(35000));
}

void tst_GridFormat::currencyThroughQVariant()
{
    const QVariant v = QVariant::fromValue(OVCurrency::fromRaw(12345));
    QCOMPARE(v.toDouble(), 1.2345);
    QCOMPARE(v.toString(), QStringLiteral("1.2345"));
    QVERIFY(v.canConvert<double>());
}

void tst_GridFormat::currencyArithmetic()
{
    // Ten times 0.1 is exactly 1, which binary doubles do not manage.
    OVCurrency sum;
    for (int i = 0; i < 10; ++i)
        sum = *sum.plus(*OVCurrency::fromText(u"0.1"));
    QCOMPARE(sum, OVCurrency::fromInt(1));
    QVERIFY(!OVCurrency::fromRaw(std::numeric_limits<qint64>::max()).plus(OVCurrency::fromRaw(1)));
    QCOMPARE(OVCurrency::fromInt(10).dividedBy(3)->raw(), qint64(33333));
    QCOMPARE(OVCurrency::fromInt(2).dividedBy(3)->raw(), qint64(6667));
    QCOMPARE(OVCurrency::fromRaw(5).dividedBy(2)->raw(), qint64(2));   // 2.5 → 2
    QCOMPARE(OVCurrency::fromRaw(15).dividedBy(2)->raw(), qint64(8));  // 7.5 → 8
    QCOMPARE(OVCurrency::fromRaw(-15).dividedBy(2)->raw(), qint64(-8));
    QVERIFY(!OVCurrency::fromInt(1).dividedBy(0));
}

namespace {

// A block of cells as the aggregate sees them: rows of column texts.
Aggregate::CellText cells(const QList<QStringList> &rows)
{
    return [rows](int r, int c) -> QStringView {
        if (r < 0 || r >= rows.size() || c < 0 || c >= rows.at(r).size())
            return {};
        return rows.at(r).at(c);
    };
}

} // namespace

void tst_GridFormat::aggregates_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("column");
    QTest::addColumn<QString>("expected");
    const int sum = int(Aggregate::Kind::Sum), count = int(Aggregate::Kind::Count),
              average = int(Aggregate::Kind::Average), max = int(Aggregate::Kind::Max),
              min = int(Aggregate::Kind::Min);
    QTest::newRow("sum skips words") << sum << QStringList{"1.5", "kg", "", "2.25"} << "3.75";
    QTest::newRow("sum of tenths") << sum << QStringList{"0.1", "0.2", "0.3"} << "0.6";
    QTest::newRow("sum rounds each cell") << sum << QStringList{"0.00005", "0.00015"} << "0.0002";
    // Plain texts and the forms next to them that only the full reader takes.
    QTest::newRow("sum of mixed forms")
        << sum << QStringList{"-0.5", "12345678901234.5", "123456789012345", "1.23456", "5.", ".5", "１２", "1e3", "-", "+2"}
        << "135802467914599.7346";
    QTest::newRow("count non-empty") << count << QStringList{"1", "", "word", " "} << "3";
    QTest::newRow("average counts words") << average << QStringList{"10", "word", "20"} << "10";
    QTest::newRow("average of none") << average << QStringList{"", ""} << "0";
    QTest::newRow("average rounds") << average << QStringList{"1", "1", "0"} << "0.6667";
    QTest::newRow("max of negatives") << max << QStringList{"", "-5", "-2"} << "-2";
    QTest::newRow("min of negatives") << min << QStringList{"", "-5", "-2"} << "-5";
    QTest::newRow("max without numbers") << max << QStringList{"a", "", "b"} << "0";
    QTest::newRow("min keeps first of equals") << min << QStringList{"3", "3.0", "4"} << "3";
}

void tst_GridFormat::aggregates()
{
    QFETCH(int, kind);
    QFETCH(QStringList, column);
    QFETCH(QString, expected);
    QList<QStringList> rows;
    for (const QString &text : column)
        rows << QStringList{QString(), text};
    const auto result = Aggregate::compute(Aggregate::Kind(kind), 0, 1, int(rows.size()) - 1, 1, cells(rows));
    QVERIFY(!result.overflow);
    QCOMPARE(result.value.toString(), expected);
}

void tst_GridFormat::productSumIsExact()
{
    // Weight times price per line, added up: 12.5 × 3.45 + 0.333 × 3 + a
    // line without a price, and a weight with a unit after it.
    const QList<QStringList> rows{
        {"", "12.5", "x", "3.45"},
        {"", "0.333", "", "3"},
        {"", "7", "", ""},
        {"", "2kg", "", "1.5"},
    };
    const auto result = Aggregate::compute(Aggregate::Kind::ColXSum, 0, 1, 3, 3, cells(rows));
    QCOMPARE(result.value.toString(), QStringLiteral("47.124")); // 43.125 + 0.999 + 0 + 3
    // A product is rounded to four decimals before it is added.
    const QList<QStringList> fine{{"", "0.00005", "", "1"}, {"", "0.00015", "", "1"}};
    QCOMPARE(Aggregate::compute(Aggregate::Kind::ColXSum, 0, 1, 1, 3, cells(fine)).value.raw(), qint64(2));
    const QList<QStringList> huge{{"", "922337203685477", "", "10"}};
    QVERIFY(Aggregate::compute(Aggregate::Kind::ColXSum, 0, 1, 0, 3, cells(huge)).overflow);
}

QTEST_GUILESS_MAIN(tst_GridFormat)
#include "tst_gridformat.moc"
