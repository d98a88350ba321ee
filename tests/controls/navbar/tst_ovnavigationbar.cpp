#include "OVNavigationBar.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMetaMethod>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Bar = OVNavigationBar;

namespace {

// Answers the bar's events as a host window would and writes them down in
// order; OutputID also notes the label at that moment, which shows whether
// the display was refreshed before or after it.
class Host : public QObject
{
public:
    explicit Host(Bar *bar)
        : m_bar(bar)
    {
        connect(bar, &Bar::Allow, this, [this](bool &cancel) {
            events << QStringLiteral("Allow");
            cancel = refuse;
        });
        connect(bar, &Bar::CheckExistID, this, [this](int id, bool &cancel) {
            events << QStringLiteral("CheckExistID(%1)").arg(id);
            cancel = gone.contains(id);
        });
        connect(bar, &Bar::OutputID, this, [this](int id) {
            events << QStringLiteral("OutputID(%1) %2").arg(id).arg(label());
        });
    }

    QString label() const { return m_bar->findChild<QLabel *>(QStringLiteral("lbl"))->text(); }

    QStringList events;
    QSet<int> gone;
    bool refuse = false;

private:
    Bar *m_bar;
};

QToolButton *button(Bar &bar, int index)
{
    return bar.findChild<QToolButton *>(QStringLiteral("imgBar") + QString::number(index));
}

// Which of first, previous, next, last are shown, as "1001".
QString visibleButtons(Bar &bar)
{
    QString flags;
    for (int i = 0; i < 4; ++i)
        flags += button(bar, i)->isVisibleTo(&bar) ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

void click(Bar &bar, int index)
{
    QToolButton *b = button(bar, index);
    QVERIFY(b->isVisible());
    QTest::mouseClick(b, Qt::LeftButton);
}

void saveAll(Bar &bar, const QList<int> &ids)
{
    for (int id : ids)
        bar.Navigate(Bar::ovNBSave, id);
}

} // namespace

class TestOVNavigationBar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void interfaceByName();
    void designTimeLook();
    void emptyList();
    void newThenFirst();
    void positionsOneAndLast();
    void nextSkipsIdsDeletedElsewhere();
    void deleteTheLastEntry();
    void deleteInTheMiddle();
    void queryMovesWithoutDuplicates();
    void refusedPressChangesNothing();
    void closingTheHostDuringOutput();
    void aboutIsModalAndCloses();
    void screenshots();
};

void TestOVNavigationBar::interfaceByName()
{
    Bar bar;
    const QMetaObject *mo = bar.metaObject();
    QCOMPARE(mo->className(), "OVNavigationBar");
    for (const char *signature : {"Navigate(int,int)", "Navigate(int)", "ShowAbout()"})
        QVERIFY2(mo->indexOfMethod(signature) >= 0, signature);
    for (const char *signature : {"CheckExistID(int,bool&)", "OutputID(int)", "Allow(bool&)"})
        QVERIFY2(mo->indexOfSignal(signature) >= 0, signature);
    for (const char *name : {"BarList", "Count", "NewIndex", "NewID"}) {
        const QMetaProperty p = mo->property(mo->indexOfProperty(name));
        QVERIFY2(p.isValid() && p.isReadable() && !p.isWritable(), name);
    }

    const QMetaEnum flags = QMetaEnum::fromType<Bar::BarFlags>();
    const char *names[] = {"ovNBFirst", "ovNBPrev", "ovNBNext", "ovNBLast", "ovNBSave",
                           "ovNBCopy", "ovNBNew", "ovNBDelete", "ovNBQuery"};
    QCOMPARE(flags.keyCount(), 9);
    for (int value = 0; value < 9; ++value)
        QCOMPARE(flags.keyToValue(names[value]), value);

    // Late-bound, as a host that knows only names would drive it.
    Host host(&bar);
    QVERIFY(QMetaObject::invokeMethod(&bar, "Navigate", Q_ARG(int, Bar::ovNBQuery), Q_ARG(int, 12)));
    QVERIFY(QMetaObject::invokeMethod(&bar, "Navigate", Q_ARG(int, Bar::ovNBSave), Q_ARG(int, 15)));
    QCOMPARE(bar.property("BarList").toString(), QStringLiteral("12,15"));
    QCOMPARE(bar.property("Count").toInt(), 2);
    QCOMPARE(bar.property("NewIndex").toInt(), 2);
    QCOMPARE(bar.property("NewID").toInt(), 15);
    QVERIFY(QMetaObject::invokeMethod(&bar, "Navigate", Q_ARG(int, Bar::ovNBNew)));
    QCOMPARE(host.events, (QStringList{QStringLiteral("OutputID(12) * / 0"), QStringLiteral("OutputID(0) 2 / 2")}));
    QCOMPARE(bar.property("NewID").toInt(), 0);
}

void TestOVNavigationBar::designTimeLook()
{
    Bar bar;
    QCOMPARE(Host(&bar).label(), QStringLiteral("* / 0"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1111"));
    QVERIFY(bar.findChild<QLabel *>(QStringLiteral("lbl")));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(button(bar, i)->iconSize(), QSize(16, 16));
}

void TestOVNavigationBar::emptyList()
{
    Bar bar;
    bar.show();
    Host host(&bar);
    // A press on the design-time look of an empty list: nothing to test,
    // the host is told to show an empty record.
    click(bar, 3);
    QCOMPARE(host.events, (QStringList{QStringLiteral("Allow"), QStringLiteral("OutputID(0) * / 0")}));
    QCOMPARE(visibleButtons(bar), QStringLiteral("0000"));

    for (int flag = Bar::ovNBFirst; flag <= Bar::ovNBQuery; ++flag) {
        if (flag == Bar::ovNBSave || flag == Bar::ovNBQuery)
            continue;
        bar.Navigate(flag);
        QCOMPARE(host.label(), QStringLiteral("* / 0"));
        QCOMPARE(visibleButtons(bar), QStringLiteral("0000"));
        QCOMPARE(bar.BarList(), QString());
        QCOMPARE(bar.NewID(), 0);
        QCOMPARE(bar.Count(), 0);
    }
}

void TestOVNavigationBar::newThenFirst()
{
    Bar bar;
    bar.show();
    saveAll(bar, {11, 12, 13, 14, 15});
    Host host(&bar);
    bar.Navigate(Bar::ovNBNew);
    QCOMPARE(host.label(), QStringLiteral("* / 5"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1001"));
    QCOMPARE(host.events, QStringList{QStringLiteral("OutputID(0) 5 / 5")});

    host.events.clear();
    click(bar, 0);
    QCOMPARE(host.events, (QStringList{QStringLiteral("Allow"), QStringLiteral("CheckExistID(11)"),
                                       QStringLiteral("OutputID(11) 1 / 5")}));
    QCOMPARE(bar.NewIndex(), 1);
    QCOMPARE(visibleButtons(bar), QStringLiteral("0011"));
}

void TestOVNavigationBar::positionsOneAndLast()
{
    Bar bar;
    bar.show();
    saveAll(bar, {7, 8, 9});
    Host host(&bar);
    QCOMPARE(host.label(), QStringLiteral("3 / 3"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1100"));

    click(bar, 1);
    QCOMPARE(host.label(), QStringLiteral("2 / 3"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1111"));
    click(bar, 1);
    QCOMPARE(host.label(), QStringLiteral("1 / 3"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("0011"));
    click(bar, 3);
    QCOMPARE(host.label(), QStringLiteral("3 / 3"));
    QCOMPARE(host.events, (QStringList{
        QStringLiteral("Allow"), QStringLiteral("CheckExistID(8)"), QStringLiteral("OutputID(8) 2 / 3"),
        QStringLiteral("Allow"), QStringLiteral("CheckExistID(7)"), QStringLiteral("OutputID(7) 1 / 3"),
        QStringLiteral("Allow"), QStringLiteral("CheckExistID(9)"), QStringLiteral("OutputID(9) 3 / 3")}));
}

void TestOVNavigationBar::nextSkipsIdsDeletedElsewhere()
{
    Bar bar;
    bar.show();
    saveAll(bar, {21, 22, 23, 24});
    bar.Navigate(Bar::ovNBQuery, 21);
    Host host(&bar);
    host.gone = {22, 23};
    click(bar, 2);
    QCOMPARE(host.events, (QStringList{QStringLiteral("Allow"), QStringLiteral("CheckExistID(22)"),
                                       QStringLiteral("CheckExistID(23)"), QStringLiteral("CheckExistID(24)"),
                                       QStringLiteral("OutputID(24) 2 / 2")}));
    QCOMPARE(bar.BarList(), QStringLiteral("21,24"));
    QCOMPARE(bar.NewID(), 24);
    QCOMPARE(visibleButtons(bar), QStringLiteral("1100"));
}

void TestOVNavigationBar::deleteTheLastEntry()
{
    Bar bar;
    saveAll(bar, {31, 32, 33});
    Host host(&bar);
    bar.Navigate(Bar::ovNBDelete);
    // No candidate is left to test; the label is refreshed after OutputID.
    QCOMPARE(host.events, QStringList{QStringLiteral("OutputID(0) 3 / 3")});
    QCOMPARE(host.label(), QStringLiteral("* / 2"));
    QCOMPARE(bar.NewIndex(), 0);
    QCOMPARE(bar.BarList(), QStringLiteral("31,32"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1001"));
}

void TestOVNavigationBar::deleteInTheMiddle()
{
    Bar bar;
    saveAll(bar, {41, 42, 43, 44});
    bar.Navigate(Bar::ovNBQuery, 42);
    Host host(&bar);
    bar.Navigate(Bar::ovNBDelete);
    QCOMPARE(host.events, (QStringList{QStringLiteral("CheckExistID(43)"), QStringLiteral("OutputID(43) 2 / 4")}));
    QCOMPARE(host.label(), QStringLiteral("2 / 3"));
    QCOMPARE(bar.BarList(), QStringLiteral("41,43,44"));
    QCOMPARE(bar.NewID(), 43);

    // The entry that moved in was deleted elsewhere too: the next one is shown.
    host.events.clear();
    host.gone = {44};
    bar.Navigate(Bar::ovNBDelete);
    QCOMPARE(host.events, (QStringList{QStringLiteral("CheckExistID(44)"), QStringLiteral("OutputID(0) 2 / 3")}));
    QCOMPARE(host.label(), QStringLiteral("* / 1"));
    QCOMPARE(bar.BarList(), QStringLiteral("41"));
}

void TestOVNavigationBar::queryMovesWithoutDuplicates()
{
    Bar bar;
    saveAll(bar, {51, 52, 53});
    Host host(&bar);
    host.refuse = true; // Query asks neither Allow nor CheckExistID.
    bar.Navigate(Bar::ovNBQuery, 52);
    bar.Navigate(Bar::ovNBQuery, 60);
    bar.Navigate(Bar::ovNBQuery, 52);
    QCOMPARE(host.events, (QStringList{QStringLiteral("OutputID(52) 3 / 3"), QStringLiteral("OutputID(60) 2 / 3"),
                                       QStringLiteral("OutputID(52) 4 / 4")}));
    QCOMPARE(bar.BarList(), QStringLiteral("51,52,53,60"));
    QCOMPARE(host.label(), QStringLiteral("2 / 4"));

    // Save finds the id the same way and raises nothing.
    host.events.clear();
    bar.Navigate(Bar::ovNBSave, 51);
    QCOMPARE(bar.NewIndex(), 1);
    QCOMPARE(bar.Count(), 4);
    QVERIFY(host.events.isEmpty());
}

void TestOVNavigationBar::refusedPressChangesNothing()
{
    Bar bar;
    bar.show();
    saveAll(bar, {61, 62, 63});
    bar.Navigate(Bar::ovNBQuery, 62);
    Host host(&bar);
    host.refuse = true;
    host.gone = {61, 63};
    for (int i = 0; i < 4; ++i)
        click(bar, i);
    QCOMPARE(host.events, QStringList(4, QStringLiteral("Allow")));
    QCOMPARE(bar.BarList(), QStringLiteral("61,62,63"));
    QCOMPARE(bar.NewIndex(), 2);
    QCOMPARE(host.label(), QStringLiteral("2 / 3"));
    QCOMPARE(visibleButtons(bar), QStringLiteral("1111"));
}

void TestOVNavigationBar::closingTheHostDuringOutput()
{
    // A host may delete its window, and the bar with it, while answering.
    auto *bar = new Bar;
    bar->show();
    saveAll(*bar, {71, 72});
    QPointer<Bar> alive(bar);
    connect(bar, &Bar::OutputID, bar, [bar](int) { delete bar; });
    QTest::mouseClick(button(*bar, 0), Qt::LeftButton);
    QVERIFY(!alive);

    bar = new Bar;
    alive = bar;
    saveAll(*bar, {73});
    connect(bar, &Bar::OutputID, bar, [bar](int) { delete bar; });
    bar->Navigate(Bar::ovNBNew);
    QVERIFY(!alive);
}

void TestOVNavigationBar::aboutIsModalAndCloses()
{
    Bar bar;
    bar.show();
    bool wasModal = false;
    QTimer::singleShot(0, this, [&wasModal] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        wasModal = dialog->isModal();
        dialog->accept();
    });
    QVERIFY(QMetaObject::invokeMethod(&bar, "ShowAbout"));
    QVERIFY(wasModal);
    QVERIFY(!bar.findChild<QDialog *>());
}

void TestOVNavigationBar::screenshots()
{
    // Set TOVIK_SCREENSHOT_DIR to keep the pictures of the four looks.
    const QString folder = qEnvironmentVariable("TOVIK_SCREENSHOT_DIR");
    Bar bar;
    bar.resize(201, 41);
    bar.show();
    saveAll(bar, {81, 82, 83, 84, 85});
    const QList<QPair<QString, int>> looks{{QStringLiteral("none"), 0}, {QStringLiteral("first"), 81},
                                           {QStringLiteral("middle"), 83}, {QStringLiteral("last"), 85}};
    for (const auto &[name, id] : looks) {
        bar.Navigate(id ? Bar::ovNBQuery : Bar::ovNBNew, id);
        const QImage picture = bar.grab().toImage();
        QVERIFY(!picture.isNull());
        if (!folder.isEmpty())
            QVERIFY(picture.save(folder + QStringLiteral("/navbar-") + name + QStringLiteral(".png")));
    }
}

QTEST_MAIN(TestOVNavigationBar)
#include "tst_ovnavigationbar.moc"
