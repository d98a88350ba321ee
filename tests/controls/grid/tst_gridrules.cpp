// The editing and appearance rules that need no widgets: key numbering,
// sort keys, column skipping, the date typing aid, the wheel rule and the
// measuring of wrapped text.

#include "appearance/TextMeasure.h"
#include "appearance/WheelRule.h"
#include "editing/EditRules.h"
#include "editing/KeyCodes.h"

#include <QKeyEvent>
#include <QTextLayout>
#include <QtTest>

#include <cmath>

class tst_GridRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void virtualKeys_data();
    void virtualKeys();
    void characterCodes_data();
    void characterCodes();
    void sortKeyDropsSeparators();
    void nextVisibleColSkipsHidden_data();
    void nextVisibleColSkipsHidden();
    void dateDash_data();
    void dateDash();
    void wheel_data();
    void wheel();
    void wrappedHeightGrowsAsWidthShrinks();
};

void tst_GridRules::virtualKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << 13;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << 27;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 37;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 40;
    QTest::newRow("letter") << int(Qt::Key_Q) << 0 << 81;
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << 55;
    QTest::newRow("keypad digit") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << 109;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << 189;
    QTest::newRow("shifted digit") << int(Qt::Key_ParenLeft) << int(Qt::ShiftModifier) << 57;
    QTest::newRow("f12") << int(Qt::Key_F12) << 0 << 123;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << 46;
    QTest::newRow("unknown") << int(Qt::Key_unknown) << 0 << 0;
}

void tst_GridRules::virtualKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QCOMPARE(int(KeyCodes::virtualKey(key, Qt::KeyboardModifiers(modifiers))), code);
}

void tst_GridRules::characterCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("code");
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << QStringLiteral("a") << 97u;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << QStringLiteral(" ") << 32u;
    QTest::newRow("chinese") << int(Qt::Key_unknown) << 0 << QStringLiteral("红") << 0x7EA2u;
    QTest::newRow("outside the BMP") << int(Qt::Key_unknown) << 0 << QStringLiteral("\U00020000") << 0x20000u;
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << QStringLiteral("\r") << 13u;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << QStringLiteral("\b") << 8u;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << QStringLiteral("\x1b") << 27u;
    QTest::newRow("ctrl+a") << int(Qt::Key_A) << int(Qt::ControlModifier) << QStringLiteral("\x01") << 1u;
    QTest::newRow("ctrl+z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << QString() << 26u;
    QTest::newRow("altgr types its character") << int(Qt::Key_E) << int(Qt::ControlModifier | Qt::AltModifier)
                                               << QStringLiteral("€") << 0x20ACu;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << QStringLiteral("\x7f") << 0u;
    QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << QString() << 0u;
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << QStringLiteral("\t") << 0u;
}

void tst_GridRules::characterCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(uint, code);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(uint(KeyCodes::characterCode(event)), code);
}

void tst_GridRules::sortKeyDropsSeparators()
{
    QCOMPARE(EditRules::sortKey(u"23-01-05"), QStringLiteral("230105"));
    QCOMPARE(EditRules::sortKey(u"2023/1/5 10:30"), QStringLiteral("2023151030"));
    QCOMPARE(EditRules::sortKey(u"红 色"), QStringLiteral("红色"));
    QCOMPARE(EditRules::sortKey(u""), QString());
}

void tst_GridRules::nextVisibleColSkipsHidden_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("next");
    // Widths of columns 0 … 6: column 2 hidden, column 3 exactly at the limit.
    QTest::newRow("right over hidden") << 1 << 1 << 4;
    QTest::newRow("left over hidden") << 4 << -1 << 1;
    QTest::newRow("right at the end") << 6 << 1 << 6;
    QTest::newRow("left at the start") << 1 << -1 << 1;
    QTest::newRow("nothing visible to the right") << 5 << 1 << 5;
}

void tst_GridRules::nextVisibleColSkipsHidden()
{
    QFETCH(int, current);
    QFETCH(int, direction);
    QFETCH(int, next);
    const QList<int> widths{700, 900, 0, 50, 1200, 900, 30};
    QCOMPARE(EditRules::nextVisibleCol(current, direction, int(widths.size()),
                                       [&widths](int col) { return widths.at(col); }),
             next);
}

void tst_GridRules::dateDash_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("result"); // empty: unchanged

    QTest::newRow("year typed") << QStringLiteral("23") << 2 << 1 << QStringLiteral("23-");
    QTest::newRow("month typed") << QStringLiteral("23-01") << 5 << 4 << QStringLiteral("23-01-");
    QTest::newRow("one digit") << QStringLiteral("2") << 1 << 0 << QString();
    QTest::newRow("deleted back to the year") << QStringLiteral("23") << 2 << 3 << QString();
    QTest::newRow("typed in the middle") << QStringLiteral("23") << 1 << 1 << QString();
    QTest::newRow("five without a dash") << QStringLiteral("23011") << 5 << 4 << QString();
    QTest::newRow("pasted year") << QStringLiteral("24") << 2 << 0 << QStringLiteral("24-");
}

void tst_GridRules::dateDash()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, before);
    QFETCH(QString, result);
    const auto dashed = EditRules::dateWithDash(text, caret, before);
    QCOMPARE(dashed.value_or(QString()), result);
}

void tst_GridRules::wheel_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("lastVisible");
    QTest::addColumn<int>("result"); // -1: left to the grid

    QTest::newRow("notch down") << -120 << 0 << 0 << 1 << false << 4;
    QTest::newRow("notch down at the end") << -120 << 0 << 0 << 40 << true << 40;
    QTest::newRow("notch up from 3") << 120 << 0 << 0 << 3 << false << 1;
    QTest::newRow("notch up from 2") << 120 << 0 << 0 << 2 << false << 1;
    QTest::newRow("notch up at the top") << 120 << 0 << 0 << 1 << false << 1;
    QTest::newRow("notch up from 10") << 120 << 0 << 0 << 10 << false << 7;
    QTest::newRow("two notches") << -240 << 0 << 0 << 1 << false << -1;
    QTest::newRow("fine scrolling") << -15 << 0 << 0 << 1 << false << -1;
    QTest::newRow("with shift") << -120 << int(Qt::ShiftModifier) << 0 << 1 << false << -1;
    QTest::newRow("with ctrl") << 120 << int(Qt::ControlModifier) << 0 << 5 << false << -1;
    QTest::newRow("button held") << -120 << 0 << int(Qt::LeftButton) << 1 << false << -1;
}

void tst_GridRules::wheel()
{
    QFETCH(int, delta);
    QFETCH(int, modifiers);
    QFETCH(int, buttons);
    QFETCH(int, top);
    QFETCH(bool, lastVisible);
    QFETCH(int, result);
    const auto row = wheelTopRow(delta, Qt::KeyboardModifiers(modifiers), Qt::MouseButtons(buttons), top,
                                 lastVisible);
    QCOMPARE(row.value_or(-1), result);
}

void tst_GridRules::wrappedHeightGrowsAsWidthShrinks()
{
    const QFont font;
    const QString text = QStringLiteral("红色棉布 cotton twill 18 pieces 红色棉布");
    const int line = wrappedTextHeight(font, QStringLiteral("x"), 1000);
    QCOMPARE(wrappedTextHeight(font, QString(), 100), line);
    const int oneLine = wrappedTextHeight(font, text, 4000);
    QCOMPARE(wrappedTextHeight(font, text, 2000), oneLine);
    const int narrow = wrappedTextHeight(font, text, 60);
    QVERIFY2(narrow >= 3 * oneLine, qPrintable(QString::number(narrow)));
    QVERIFY(wrappedTextHeight(font, text, 120) < narrow);
    // A word wider than the width breaks inside; a line break always breaks.
    QVERIFY(wrappedTextHeight(font, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"), 40) > line);
    QCOMPARE(wrappedTextHeight(font, QStringLiteral("a\nb"), 1000), 2 * line);

    // Long runs without a break opportunity wrap as Qt's own layout wraps
    // them, give or take the line where a run starts after a word (their
    // measuring is linear; timed in bench_grid).
    auto qtHeight = [&font](const QString &text, int width) {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextLayout layout(text, font);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            l.setPosition(QPointF(0, height));
            height += l.height();
        }
        layout.endLayout();
        return int(std::ceil(height));
    };
    const QString run(1500, u'7');
    for (const int width : {20, 60, 333}) {
        QCOMPARE(wrappedTextHeight(font, run, width), qtHeight(run, width));
        const QString twoRuns = run + QChar::LineSeparator + run.left(600);
        QCOMPARE(wrappedTextHeight(font, twoRuns, width), qtHeight(twoRuns, width));
        const QString mixed = QStringLiteral("cotton ") + run + QStringLiteral(" twill ") + run.left(900);
        QVERIFY(std::abs(wrappedTextHeight(font, mixed, width) - qtHeight(mixed, width)) <= 2 * line);
    }
    // No row is measured higher than a row can be.
    QCOMPARE(wrappedTextHeight(font, QString(100000, u'8'), 5), 32767);
}

QTEST_MAIN(tst_GridRules)
#include "tst_gridrules.moc"
