#include "shared/sheet/NumberFormat.h"

#include <QtTest>

class TestNumberFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formats_data();
    void formats();
    void readsNumbers_data();
    void readsNumbers();
};

void TestNumberFormat::formats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("general integer") << 12.0 << "General" << "12";
    QTest::newRow("general decimal") << 25.5 << "General" << "25.5";
    QTest::newRow("general float noise") << 0.1 + 0.2 << "General" << "0.3";
    QTest::newRow("general negative") << -13.25 << "General" << "-13.25";
    QTest::newRow("general eleven digits") << 12345678901.0 << "General" << "12345678901";
    QTest::newRow("general huge") << 1.5e12 << "General" << "1.5E+12";
    QTest::newRow("general zero") << 0.0 << "General" << "0";
    QTest::newRow("empty code is general") << 7.0 << "" << "7";

    QTest::newRow("two decimals") << 10.0 << "0.00" << "10.00";
    QTest::newRow("two decimals rounds") << 255.005 << "0.00" << "255.01";
    QTest::newRow("two decimals negative") << -3.5 << "0.00" << "-3.50";
    QTest::newRow("negative rounding to zero has no sign") << -0.001 << "0.00" << "0.00";
    QTest::newRow("grouped") << 1234567.891 << "#,##0.00" << "1,234,567.89";
    QTest::newRow("grouped small") << 12.0 << "#,##0" << "12";
    QTest::newRow("optional decimals") << 25.5 << "0.0#" << "25.5";
    QTest::newRow("optional decimals kept") << 25.25 << "0.0#" << "25.25";
    QTest::newRow("no integer digit") << 0.5 << "#.00" << ".50";
    QTest::newRow("padded integer") << 42.0 << "000000" << "000042";
    QTest::newRow("percent") << 0.125 << "0.0%" << "12.5%";
    QTest::newRow("scientific") << 12345.0 << "0.00E+00" << "1.23E+04";
    QTest::newRow("thousands scale") << 1234567.0 << "#,##0," << "1,235";

    QTest::newRow("quoted unit") << 25.5 << "0.0\" KG\"" << "25.5 KG";
    QTest::newRow("currency prefix") << 255.0 << "\"￥\"0.00" << "￥255.00";
    QTest::newRow("locale currency") << 255.0 << "[$¥-804]#,##0.00" << "¥255.00";
    QTest::newRow("escaped character") << 3.0 << "0\\匹" << "3匹";
    QTest::newRow("padding underscore") << 5.0 << "0_)" << "5 ";
    QTest::newRow("colour ignored") << 5.0 << "[Red]0.00" << "5.00";
    QTest::newRow("negative section") << -1234.5 << "#,##0.00;(#,##0.00)" << "(1,234.50)";
    QTest::newRow("positive of two sections") << 1234.5 << "#,##0.00;(#,##0.00)" << "1,234.50";
    QTest::newRow("zero section") << 0.0 << "0.00;-0.00;\"-\"" << "-";
    QTest::newRow("empty zero section hides") << 0.0 << "0;-0;;@" << "";
    QTest::newRow("date falls back to general") << 45356.0 << "yy-mm-dd" << "45356";
    QTest::newRow("text format shows general") << 12.5 << "@" << "12.5";
}

void TestNumberFormat::formats()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(FormatCellNumber(value, format), expected);
}

void TestNumberFormat::readsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    QTest::newRow("integer") << "12" << true << 12.0;
    QTest::newRow("decimal") << "13.5" << true << 13.5;
    QTest::newRow("two decimals") << "10.00" << true << 10.0;
    QTest::newRow("negative") << "-3.25" << true << -3.25;
    QTest::newRow("plus") << "+7" << true << 7.0;
    QTest::newRow("zero") << "0" << true << 0.0;
    QTest::newRow("below one") << "0.5" << true << 0.5;
    QTest::newRow("no integer digit") << ".5" << true << 0.5;
    QTest::newRow("spaces around") << "  42 " << true << 42.0;
    QTest::newRow("grouped") << "1,234,567.5" << true << 1234567.5;
    QTest::newRow("fifteen digits") << "123456789012345" << true << 123456789012345.0;

    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("leading zero code") << "007" << false << 0.0;
    QTest::newRow("leading zero decimal") << "00.5" << false << 0.0;
    QTest::newRow("sixteen digits") << "1234567890123456" << false << 0.0;
    QTest::newRow("exponent code") << "3E5" << false << 0.0;
    QTest::newRow("bad grouping") << "1,23" << false << 0.0;
    QTest::newRow("grouping without thousands") << "1234,567" << false << 0.0;
    QTest::newRow("text with number") << "25.5 KG" << false << 0.0;
    QTest::newRow("article") << "A1001" << false << 0.0;
    QTest::newRow("date") << "24-03-05" << false << 0.0;
    QTest::newRow("full-width digits") << "１２" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
}

void TestNumberFormat::readsNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> number = NumberFromCellText(text);
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"
