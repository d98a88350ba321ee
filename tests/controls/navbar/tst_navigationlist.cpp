#include "NavigationList.h"
#include "OVNavigationBar.h"

#include <QtTest>

using Bar = OVNavigationBar;

namespace {

// A list holding ids with the given position current.
NavigationList listOf(const QList<qint32> &ids, int position)
{
    NavigationList list;
    for (qint32 id : ids)
        list.navigate(Bar::ovNBSave, id, {});
    if (position > 0)
        list.navigate(Bar::ovNBSave, ids.at(position - 1), {});
    else
        list.navigate(Bar::ovNBCopy, 0, {});
    return list;
}

QList<qint32> idsOf(const NavigationList &list)
{
    QList<qint32> ids;
    for (int i = 1; i <= list.count(); ++i)
        ids << list.idAt(i);
    return ids;
}

// An existence check that answers from a set of ids that are gone, and
// records every id it was asked about.
struct Host
{
    QSet<qint32> gone;
    QList<qint32> asked;

    NavigationList::ExistCheck check()
    {
        return [this](qint32 id, bool &cancel) {
            asked << id;
            cancel = gone.contains(id);
        };
    }
};

} // namespace

class TestNavigationList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsEmpty();
    void candidates_data();
    void candidates();
    void removeEntry_data();
    void removeEntry();
    void findOrAppendNeverDuplicates();
    void display_data();
    void display();
    void pressSkipsGoneIds_data();
    void pressSkipsGoneIds();
    void cancelIsNotResetBetweenCandidates();
    void deleteTestsTheEntryThatMovedIn();
    void navigateWithoutEvents();
    void zeroIdIsKeptLikeAnyOther();
};

void TestNavigationList::startsEmpty()
{
    const NavigationList list;
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.position(), 0);
    QCOMPARE(list.currentId(), 0);
    QCOMPARE(list.joinedIds(), QString());
    QCOMPARE(list.display().label, QStringLiteral("* / 0"));
}

void TestNavigationList::candidates_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("expected");

    QTest::newRow("first, empty") << 0 << 0 << int(Bar::ovNBFirst) << 0;
    QTest::newRow("first") << 3 << 2 << int(Bar::ovNBFirst) << 1;
    QTest::newRow("previous from 2") << 3 << 2 << int(Bar::ovNBPrev) << 1;
    QTest::newRow("previous from 1") << 3 << 1 << int(Bar::ovNBPrev) << 0;
    QTest::newRow("previous from 0") << 3 << 0 << int(Bar::ovNBPrev) << 0;
    QTest::newRow("next from 0") << 3 << 0 << int(Bar::ovNBNext) << 1;
    QTest::newRow("next from 2") << 3 << 2 << int(Bar::ovNBNext) << 3;
    QTest::newRow("next from last") << 3 << 3 << int(Bar::ovNBNext) << 0;
    QTest::newRow("last") << 3 << 1 << int(Bar::ovNBLast) << 3;
    QTest::newRow("last, empty") << 0 << 0 << int(Bar::ovNBLast) << 0;
    QTest::newRow("delete") << 3 << 2 << int(Bar::ovNBDelete) << 2;
    QTest::newRow("save") << 3 << 2 << int(Bar::ovNBSave) << 0;
    QTest::newRow("query") << 3 << 2 << int(Bar::ovNBQuery) << 0;
    QTest::newRow("unknown") << 3 << 2 << 42 << 0;
}

void TestNavigationList::candidates()
{
    QFETCH(int, count);
    QFETCH(int, position);
    QFETCH(int, operation);
    QFETCH(int, expected);
    QList<qint32> ids;
    for (int i = 1; i <= count; ++i)
        ids << i * 10;
    QCOMPARE(listOf(ids, position).candidate(operation), expected);
}

void TestNavigationList::removeEntry_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("k");
    QTest::addColumn<QList<qint32>>("ids");
    QTest::addColumn<int>("newPosition");

    const QList<qint32> all{10, 20, 30, 40};
    QTest::newRow("before the position") << 3 << 1 << QList<qint32>{20, 30, 40} << 2;
    QTest::newRow("at the position, middle") << 2 << 2 << QList<qint32>{10, 30, 40} << 2;
    QTest::newRow("after the position") << 2 << 3 << QList<qint32>{10, 20, 40} << 2;
    QTest::newRow("last while current") << 4 << 4 << QList<qint32>{10, 20, 30} << 0;
    QTest::newRow("last, not current") << 2 << 4 << QList<qint32>{10, 20, 30} << 2;
    QTest::newRow("position 0") << 0 << 2 << QList<qint32>{10, 30, 40} << 0;
    QTest::newRow("k = 0 does nothing") << 2 << 0 << all << 2;
    QTest::newRow("k past the end does nothing") << 2 << 5 << all << 2;
}

void TestNavigationList::removeEntry()
{
    QFETCH(int, position);
    QFETCH(int, k);
    QFETCH(QList<qint32>, ids);
    QFETCH(int, newPosition);
    NavigationList list = listOf({10, 20, 30, 40}, position);
    list.removeAt(k);
    QCOMPARE(idsOf(list), ids);
    QCOMPARE(list.position(), newPosition);
}

void TestNavigationList::findOrAppendNeverDuplicates()
{
    NavigationList list = listOf({12, 15, 20}, 3);
    list.findOrAppend(15);
    QCOMPARE(list.position(), 2);
    QCOMPARE(list.joinedIds(), QStringLiteral("12,15,20"));
    list.findOrAppend(7);
    QCOMPARE(list.position(), 4);
    QCOMPARE(list.currentId(), 7);
    QCOMPARE(list.joinedIds(), QStringLiteral("12,15,20,7"));
}

void TestNavigationList::display_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("visible"); // first, previous, next, last as 1/0

    QTest::newRow("empty") << 0 << 0 << "* / 0" << "0000";
    QTest::newRow("none of 5") << 5 << 0 << "* / 5" << "1001";
    QTest::newRow("1 of 1") << 1 << 1 << "1 / 1" << "0000";
    QTest::newRow("1 of 3") << 3 << 1 << "1 / 3" << "0011";
    QTest::newRow("2 of 3") << 3 << 2 << "2 / 3" << "1111";
    QTest::newRow("3 of 3") << 3 << 3 << "3 / 3" << "1100";
    QTest::newRow("3 of 10") << 10 << 3 << "3 / 10" << "1111";
}

void TestNavigationList::display()
{
    QFETCH(int, count);
    QFETCH(int, position);
    QFETCH(QString, label);
    QFETCH(QString, visible);
    QList<qint32> ids;
    for (int i = 1; i <= count; ++i)
        ids << 100 + i;
    const NavigationList::Display shown = listOf(ids, position).display();
    QCOMPARE(shown.label, label);
    const QString flags = QString::number(shown.first) + QString::number(shown.previous)
        + QString::number(shown.next) + QString::number(shown.last);
    QCOMPARE(flags, visible);
}

void TestNavigationList::pressSkipsGoneIds_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("button");
    QTest::addColumn<QList<qint32>>("gone");
    QTest::addColumn<QList<qint32>>("asked");
    QTest::addColumn<QList<qint32>>("ids");
    QTest::addColumn<int>("newPosition");

    // The list is 10, 20, 30, 40, 50.
    QTest::newRow("next over two gone") << 1 << 2 << QList<qint32>{20, 30} << QList<qint32>{20, 30, 40}
                                        << QList<qint32>{10, 40, 50} << 2;
    QTest::newRow("previous over one gone") << 4 << 1 << QList<qint32>{30} << QList<qint32>{30, 20}
                                            << QList<qint32>{10, 20, 40, 50} << 2;
    QTest::newRow("first gone") << 3 << 0 << QList<qint32>{10} << QList<qint32>{10, 20}
                                << QList<qint32>{20, 30, 40, 50} << 1;
    QTest::newRow("last gone, current is before it") << 2 << 3 << QList<qint32>{50} << QList<qint32>{50, 40}
                                                     << QList<qint32>{10, 20, 30, 40} << 4;
    QTest::newRow("next: all following gone") << 3 << 2 << QList<qint32>{40, 50} << QList<qint32>{40, 50}
                                              << QList<qint32>{10, 20, 30} << 0;
    QTest::newRow("last: every id gone") << 0 << 3 << QList<qint32>{10, 20, 30, 40, 50}
                                         << QList<qint32>{50, 40, 30, 20, 10} << QList<qint32>{} << 0;
    QTest::newRow("nothing gone") << 2 << 2 << QList<qint32>{} << QList<qint32>{30}
                                  << QList<qint32>{10, 20, 30, 40, 50} << 3;
}

void TestNavigationList::pressSkipsGoneIds()
{
    QFETCH(int, position);
    QFETCH(int, button);
    QFETCH(QList<qint32>, gone);
    QFETCH(QList<qint32>, asked);
    QFETCH(QList<qint32>, ids);
    QFETCH(int, newPosition);

    NavigationList list = listOf({10, 20, 30, 40, 50}, position);
    Host host;
    host.gone = QSet<qint32>(gone.cbegin(), gone.cend());
    list.press(button, host.check());
    QCOMPARE(host.asked, asked);
    QCOMPARE(idsOf(list), ids);
    QCOMPARE(list.position(), newPosition);
    QCOMPARE(list.operation(), button);
}

void TestNavigationList::cancelIsNotResetBetweenCandidates()
{
    // A host that only ever sets Cancel (never clears it) loses every
    // candidate after the first refusal: the flag carries over.
    NavigationList list = listOf({10, 20, 30}, 0);
    QList<qint32> asked;
    list.press(Bar::ovNBFirst, [&asked](qint32 id, bool &cancel) {
        asked << id;
        if (id == 10)
            cancel = true;
    });
    QCOMPARE(asked, (QList<qint32>{10, 20, 30}));
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.position(), 0);

    // Each new move starts with Cancel false.
    list = listOf({10, 20}, 0);
    QList<bool> onEntry;
    for (int i = 0; i < 2; ++i)
        list.press(Bar::ovNBLast, [&onEntry](qint32, bool &cancel) { onEntry << cancel; });
    QCOMPARE(onEntry, (QList<bool>{false, false}));
}

void TestNavigationList::deleteTestsTheEntryThatMovedIn()
{
    NavigationList list = listOf({10, 20, 30, 40}, 2);
    Host host;
    host.gone = {30};
    QVERIFY(list.navigate(Bar::ovNBDelete, 0, host.check()));
    QCOMPARE(host.asked, (QList<qint32>{30, 40}));
    QCOMPARE(idsOf(list), (QList<qint32>{10, 40}));
    QCOMPARE(list.position(), 2);
    QCOMPARE(list.currentId(), 40);

    // Deleting at position 0 removes nothing and asks nothing.
    list.navigate(Bar::ovNBNew, 0, {});
    host.asked.clear();
    QVERIFY(list.navigate(Bar::ovNBDelete, 0, host.check()));
    QVERIFY(host.asked.isEmpty());
    QCOMPARE(list.count(), 2);
}

void TestNavigationList::navigateWithoutEvents()
{
    NavigationList list = listOf({10, 20, 30}, 2);
    const auto never = [](qint32, bool &) { QFAIL("no existence check expected"); };

    QVERIFY(!list.navigate(Bar::ovNBSave, 40, never));
    QCOMPARE(list.position(), 4);
    QCOMPARE(list.inputId(), 40);
    QVERIFY(!list.navigate(Bar::ovNBCopy, 0, never));
    QCOMPARE(list.position(), 0);
    QVERIFY(list.navigate(Bar::ovNBQuery, 20, never));
    QCOMPARE(list.position(), 2);
    QVERIFY(list.navigate(Bar::ovNBNew, 0, never));
    QCOMPARE(list.position(), 0);
    // The move flags and unknown values change nothing through Navigate.
    for (int flag : {int(Bar::ovNBFirst), int(Bar::ovNBLast), 99}) {
        QVERIFY(!list.navigate(flag, 7, never));
        QCOMPARE(list.position(), 0);
        QCOMPARE(list.joinedIds(), QStringLiteral("10,20,30,40"));
        QCOMPARE(list.operation(), flag);
    }
}

void TestNavigationList::zeroIdIsKeptLikeAnyOther()
{
    NavigationList list;
    list.navigate(Bar::ovNBSave, 0, {});
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.position(), 1);
    QCOMPARE(list.currentId(), 0);
    QCOMPARE(list.joinedIds(), QStringLiteral("0"));
}

QTEST_APPLESS_MAIN(TestNavigationList)
#include "tst_navigationlist.moc"
