#include "shared/base/TextRules.h"

#include <QtTest>

class TestTextRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanText_data();
    void cleanText();
    void filterKeyAscii_data();
    void filterKeyAscii();
};

void TestTextRules::cleanText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "红色 布" << "红色 布";
    QTest::newRow("outer spaces trimmed, inner kept") << "  A 12  " << "A 12";
    QTest::newRow("quotes and brackets anywhere") << "a'b\"c[d]e" << "abcde";
    QTest::newRow("line breaks and tabs") << "a\r\nb\tc" << "abc";
    QTest::newRow("space behind a leading tab stays") << "\t x" << " x";
    QTest::newRow("space before a trailing newline stays") << "x \n" << "x ";
    QTest::newRow("only removable characters") << " '[]\" " << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("like wildcards are kept") << "50%_x" << "50%_x";
}

void TestTextRules::cleanText()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(CleanText(input), expected);
}

void TestTextRules::filterKeyAscii_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("enter") << 13 << 0;
    QTest::newRow("quote") << 39 << 0;
    QTest::newRow("double quote") << 34 << 0;
    QTest::newRow("open bracket") << 91 << 0;
    QTest::newRow("close bracket") << 93 << 0;
    QTest::newRow("letter") << int('a') << int('a');
    QTest::newRow("percent") << int('%') << int('%');
    QTest::newRow("backspace") << 8 << 8;
    QTest::newRow("chinese") << 0x7EA2 << 0x7EA2;
}

void TestTextRules::filterKeyAscii()
{
    QFETCH(int, key);
    QFETCH(int, expected);
    FilterKeyAscii(key);
    QCOMPARE(key, expected);
}

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
