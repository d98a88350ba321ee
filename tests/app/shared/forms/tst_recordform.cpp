#include "MessageCapture.h"
#include "TestDatabase.h"
#include "shared/forms/ComboFill.h"
#include "shared/forms/DTPicker.h"
#include "shared/data/DataAccess.h"
#include "shared/forms/FormControls.h"
#include "shared/data/NameLists.h"
#include "shared/forms/RecordForm.h"
#include "shared/forms/RecordWindow.h"
#include "shared/forms/Windows.h"

#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A grid as the protocol sees it: an OVGrid with the Rows property and cell
// texts, reached by name only. Keeps every Rows assignment.
class GridStandIn : public OVGrid
{
    Q_OBJECT
    Q_PROPERTY(int Rows READ Rows WRITE setRows)
    Q_PROPERTY(int Cols READ Cols)

public:
    using OVGrid::OVGrid;

    int Rows() const { return int(m_cells.size()); }
    void setRows(int rows)
    {
        m_cells.resize(rows, QStringList(Cols()));
        assigned << rows;
    }
    int Cols() const { return 20; }
    Q_INVOKABLE QString TextMatrix(int row, int col) const { return m_cells.value(row).value(col); }
    Q_INVOKABLE void setTextMatrix(int row, int col, const QString &text)
    {
        if (row >= 0 && row < Rows() && col >= 0 && col < Cols())
            m_cells[row][col] = text;
    }

    QList<int> assigned;

private:
    QList<QStringList> m_cells{QStringList(20)};
};

// A record window: its controls are added by the tests, its public
// operations write down each call and its navigation bar answers through the
// shared procedure, as the bill window does.
class ByNameWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ByNameWindow(const QString &name = QStringLiteral("frmBill"), const QString &tag = QStringLiteral("total"))
    {
        setObjectName(name);
        setProperty("Tag", tag);
        new QVBoxLayout(this);
    }

    template<typename Control>
    Control *add(const QString &name, const QString &tag = QString(), QWidget *parent = nullptr)
    {
        auto *control = new Control(parent ? parent : this);
        control->setObjectName(name);
        if (!tag.isEmpty())
            control->setProperty("Tag", tag);
        if (!parent)
            layout()->addWidget(control);
        return control;
    }

    OVNavigationBar *addNav()
    {
        auto *nav = add<OVNavigationBar>(QStringLiteral("nav"));
        connect(nav, &OVNavigationBar::OutputID, this, [](int id) { OnNavOutputID(id); });
        return nav;
    }

    Q_INVOKABLE void ovRst(int ID) { calls << QStringLiteral("ovRst(%1)").arg(ID); }
    Q_INVOKABLE void ovTotal() { calls << QStringLiteral("ovTotal"); }
    Q_INVOKABLE void ovCmd(int intStep) { calls << QStringLiteral("ovCmd(%1)").arg(intStep); }
    Q_INVOKABLE bool ovSaveYN()
    {
        calls << QStringLiteral("ovSaveYN");
        return keepChanges;
    }
    Q_INVOKABLE void ovModalForm(const QString &) {}

    QStringList calls;
    bool keepChanges = false;
};

// One of the program's own record windows: called directly, not by name.
class TypedWindow : public RecordWindow
{
    Q_OBJECT
public:
    TypedWindow()
    {
        setObjectName(QStringLiteral("frmBill"));
        setProperty("Tag", QStringLiteral("total"));
        // The bar goes by its accessor, whatever its object name.
        auto *bar = new OVNavigationBar(this);
        connect(bar, &OVNavigationBar::OutputID, this, [this](int id) { OnNavOutputID(this, id); });
        setRecordControls(bar, nullptr);
    }
    bool ovRst(int ID) override
    {
        calls << QStringLiteral("ovRst(%1)").arg(ID);
        return true;
    }
    void ovTotal() override { calls << QStringLiteral("ovTotal"); }
    void ovCmd(int intStep) override { calls << QStringLiteral("ovCmd(%1)").arg(intStep); }
    bool ovSaveYN() override
    {
        calls << QStringLiteral("ovSaveYN");
        return false;
    }
    void ovModalForm(const QString &) override {}

    QStringList calls;
};

// A window that forgot ovTotal.
class WindowWithoutTotal : public QWidget
{
    Q_OBJECT
public:
    WindowWithoutTotal()
    {
        setObjectName(QStringLiteral("frmPartial"));
        setProperty("Tag", QStringLiteral("total"));
    }
    Q_INVOKABLE void ovRst(int) { calls << QStringLiteral("ovRst"); }
    Q_INVOKABLE void ovCmd(int) { calls << QStringLiteral("ovCmd"); }
    Q_INVOKABLE void ovSaveYN() {} // wrong result type: not a bool

    QStringList calls;
};

// The bill window's controls and tags, in its tab order.
struct BillControls
{
    explicit BillControls(ByNameWindow &w)
    {
        w.add<QLabel>(QStringLiteral("lblIdCaption"))->setText(QStringLiteral("ID："));
        txtID = w.add<QLineEdit>(QStringLiteral("txtID"));
        txtID->setReadOnly(true);
        cboClient = w.add<QComboBox>(QStringLiteral("cboClient"), QStringLiteral("data"));
        cboClient->setEditable(true);
        txtLink = w.add<QLineEdit>(QStringLiteral("txtLink"));
        dtpDate = w.add<DTPicker>(QStringLiteral("dtpDate"));
        txtComment = w.add<QLineEdit>(QStringLiteral("txtComment"));
        grd = w.add<GridStandIn>(QStringLiteral("grd"), QStringLiteral("def9"));
        lblPi = w.add<QLabel>(QStringLiteral("lblPi"), QStringLiteral("num"));
        lblQuantity = w.add<QLabel>(QStringLiteral("lblQuantity"), QStringLiteral("num"));
        lblPrice = w.add<QLabel>(QStringLiteral("lblPrice"), QStringLiteral("cur"));
        lblYuan = w.add<QLabel>(QStringLiteral("lblYuan"));
        lblYuan->setText(QStringLiteral("元"));
        // The staff boxes sit in a frame of their own, as on the bill window.
        auto *staff = w.add<QGroupBox>(QStringLiteral("fraStaff"));
        new QHBoxLayout(staff);
        for (int i = 1; i <= 4; ++i) {
            auto *combo = w.add<QComboBox>(QStringLiteral("cboMan%1").arg(i), QStringLiteral("serv nodo"), staff);
            combo->setEditable(true);
            staff->layout()->addWidget(combo);
            cboMan << combo;
        }
        nav = w.addNav();
    }

    QLineEdit *txtID;
    QComboBox *cboClient;
    QLineEdit *txtLink;
    DTPicker *dtpDate;
    QLineEdit *txtComment;
    GridStandIn *grd;
    QLabel *lblPi;
    QLabel *lblQuantity;
    QLabel *lblPrice;
    QLabel *lblYuan;
    QList<QComboBox *> cboMan;
    OVNavigationBar *nav;
};

qint32 insertBill()
{
    return ExecSql(QStringLiteral("insert into bill (date, client) values ('2026-12-07', '甲')")).lastInsertId().toInt();
}

bool showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

} // namespace

class TestRecordForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void controlsAndTypes();
    void fillFormLists();
    void resetBillWindow();
    void resetWords_data();
    void resetWords();
    void datePickers();
    void resetRealGrid();
    void badGridDefault();
    void showAndClearRecord();
    void missingMembersAreReported();
    void openRecordForm();
    void typedRecordWindow();
    void openKeepsUnsavedRecord();
    void openDeletedRecord();

private:
    std::unique_ptr<TestDatabase> m_db;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestRecordForm::initTestCase()
{
    TrackActiveForm();
    QApplication::setQuitOnLastWindowClosed(false);
    InitNameLists();
}

void TestRecordForm::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_messages.clear();
}

void TestRecordForm::cleanup()
{
    // Deleting one window can take others with it (a date edit's pop-up).
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    m_db.reset();
}

void TestRecordForm::controlsAndTypes()
{
    ByNameWindow w;
    BillControls bill(w);
    w.add<QCheckBox>(QStringLiteral("chkPaid"));

    QStringList seen;
    const QWidgetList controls = FormControls(&w);
    for (QWidget *c : controls)
        seen << c->objectName() + QLatin1Char(':') + ControlTypeName(c);
    // Parts of compound widgets (the combo's line edit, the picker's date
    // edit, the bar's label) are not controls of the window.
    QCOMPARE(seen, (QStringList{
        "lblIdCaption:Label", "txtID:TextBox", "cboClient:ComboBox", "txtLink:TextBox", "dtpDate:DTPicker",
        "txtComment:TextBox", "grd:OVGrid", "lblPi:Label", "lblQuantity:Label", "lblPrice:Label",
        "lblYuan:Label", "cboMan1:ComboBox", "cboMan2:ComboBox", "cboMan3:ComboBox", "cboMan4:ComboBox",
        "nav:", "chkPaid:CheckBox"}));

    // The caption label takes no focus: tab index 0 is the first field.
    QCOMPARE(FirstInTabOrder(&w), bill.txtID);
    QWidget::setTabOrder(bill.txtComment, bill.txtID);
    QCOMPARE(FirstInTabOrder(&w), bill.cboClient);

    QCOMPARE(TagDefault(QStringLiteral("def9")), QStringLiteral("9"));
    QVERIFY(TagHas(QStringLiteral("serv nodo"), QStringLiteral("nodo")));
    QVERIFY(!TagHas(QStringLiteral("Serv"), QStringLiteral("serv")));
}

void TestRecordForm::fillFormLists()
{
    ExecSql(QStringLiteral("insert into serv (field, value) values ('man1', '张三'), ('man1', '李四'), ('man2', '王五')"));
    ExecSql(QStringLiteral("insert into client (client) values ('乙'), ('甲')"));

    ByNameWindow w;
    BillControls bill(w);
    auto *both = w.add<QComboBox>(QStringLiteral("cboClient"), QStringLiteral("serv data"));
    auto *plain = w.add<QComboBox>(QStringLiteral("cboMan1"));
    bill.dtpDate->setValue(QDate(2020, 1, 1));
    QSignalSpy clientSpy(bill.cboClient, &QComboBox::currentIndexChanged);

    FillFormLists(&w);
    QCOMPARE(bill.cboClient->count(), 0); // a whole table waits until wanted
    FillComboNow(bill.cboClient);
    FillComboNow(both);
    QCOMPARE(bill.cboClient->count(), 2);
    QCOMPARE(bill.cboClient->itemText(0), QStringLiteral("甲"));
    QVERIFY(bill.cboClient->itemData(0).toInt() > 0);
    QCOMPARE(bill.cboMan.at(0)->count(), 2);
    QCOMPARE(bill.cboMan.at(1)->count(), 1);
    QCOMPARE(bill.cboMan.at(2)->count(), 0);
    // Filling chooses nothing: a new bill shows empty boxes.
    QCOMPARE(bill.cboClient->currentText(), QString());
    QCOMPARE(bill.cboMan.at(0)->currentText(), QString());
    QCOMPARE(clientSpy.count(), 0);
    // Both words: the value list of field "client" (none here), then the table.
    QCOMPARE(both->count(), 2);
    QCOMPARE(plain->count(), 0);
    QCOMPARE(bill.dtpDate->value(), QVariant(QDate::currentDate()));
}

void TestRecordForm::resetBillWindow()
{
    ExecSql(QStringLiteral("insert into serv (field, value) values ('man1', '张三'), ('man2', '王五')"));
    ExecSql(QStringLiteral("insert into client (client) values ('甲')"));
    ByNameWindow w;
    BillControls bill(w);
    FillFormLists(&w);
    FillComboNow(bill.cboClient);

    // A bill as it was shown.
    bill.txtID->setText(QStringLiteral("17"));
    bill.cboClient->setCurrentIndex(0);
    bill.txtLink->setText(QStringLiteral("老王"));
    bill.txtComment->setText(QStringLiteral("急"));
    bill.dtpDate->setValue(QDate(2024, 2, 29));
    bill.cboMan.at(0)->setCurrentIndex(0);
    bill.cboMan.at(1)->setEditText(QStringLiteral("手输"));
    bill.grd->setRows(30);
    bill.grd->setTextMatrix(3, 3, QStringLiteral("A-100"));
    bill.grd->assigned.clear();
    bill.lblPi->setText(QStringLiteral("12"));
    bill.lblQuantity->setText(QStringLiteral("245.5"));
    bill.lblPrice->setText(QStringLiteral("9,820.00"));
    bill.nav->Navigate(OVNavigationBar::ovNBSave, 17);

    QVERIFY(showActive(&w));
    bill.txtComment->setFocus();
    ResetFormControls();

    QCOMPARE(bill.txtID->text(), QString());
    QCOMPARE(bill.cboClient->currentText(), QString());
    QCOMPARE(bill.cboClient->currentIndex(), -1);
    QCOMPARE(bill.cboClient->count(), 1);
    QCOMPARE(bill.txtLink->text(), QString());
    QCOMPARE(bill.txtComment->text(), QString());
    QCOMPARE(bill.dtpDate->value(), QVariant(QDate::currentDate()));
    QCOMPARE(bill.cboMan.at(0)->currentText(), QStringLiteral("张三"));
    QCOMPARE(bill.cboMan.at(1)->currentText(), QStringLiteral("手输"));
    QCOMPARE(bill.grd->assigned, (QList<int>{1, 9}));
    QCOMPARE(bill.grd->property("Rows").toInt(), 9);
    QCOMPARE(bill.grd->TextMatrix(3, 3), QString());
    QCOMPARE(bill.lblPi->text(), QStringLiteral("0"));
    QCOMPARE(bill.lblQuantity->text(), QStringLiteral("0"));
    QCOMPARE(bill.lblPrice->text(), QStringLiteral("0.00"));
    QCOMPARE(bill.lblYuan->text(), QStringLiteral("元"));
    QCOMPARE(QApplication::focusWidget(), bill.txtID);
    // The bar is not a field: its list and label stay.
    QCOMPARE(bill.nav->BarList(), QStringLiteral("17"));
    QCOMPARE(bill.nav->findChild<QLabel *>(QStringLiteral("lbl"))->text(), QStringLiteral("1 / 1"));
    QVERIFY(w.calls.isEmpty());
}

void TestRecordForm::resetWords_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("ticked");

    QTest::newRow("no tag") << "" << "" << "before" << false;
    QTest::newRow("def") << "def件数" << "件数" << "件数" << false;
    QTest::newRow("cur") << "cur" << "0.00" << "0.00" << false;
    QTest::newRow("num") << "num" << "0" << "0" << false;
    QTest::newRow("later word wins") << "def7 cur" << "0.00" << "0.00" << false;
    QTest::newRow("num after cur") << "cur num" << "0" << "0" << false;
    QTest::newRow("true") << "true" << "" << "before" << true;
    QTest::newRow("nodo is for combos") << "nodo" << "" << "before" << false;
}

void TestRecordForm::resetWords()
{
    QFETCH(QString, tag);
    QFETCH(QString, textBox);
    QFETCH(QString, label);
    QFETCH(bool, ticked);

    ByNameWindow w(QStringLiteral("frmTest"), QString());
    auto *text = w.add<QLineEdit>(QStringLiteral("txtA"), tag);
    auto *caption = w.add<QLabel>(QStringLiteral("lblA"), tag);
    auto *check = w.add<QCheckBox>(QStringLiteral("chkA"), tag);
    auto *combo = w.add<QComboBox>(QStringLiteral("cboA"), tag);
    combo->addItems({QStringLiteral("一"), QStringLiteral("二")});
    text->setText(QStringLiteral("before"));
    caption->setText(QStringLiteral("before"));
    check->setChecked(!ticked);
    combo->setCurrentIndex(1);

    ResetFormControls(&w);
    QCOMPARE(text->text(), textBox);
    QCOMPARE(caption->text(), label);
    QCOMPARE(check->isChecked(), ticked);
    QCOMPARE(combo->currentIndex(), tag == QLatin1String("nodo") ? 1 : -1);
    QCOMPARE(w.focusWidget(), text);
}

void TestRecordForm::datePickers()
{
    ByNameWindow w(QStringLiteral("frmQuery"), QString());
    auto *plain = w.add<DTPicker>(QStringLiteral("dtpDate"));
    auto *optional = w.add<DTPicker>(QStringLiteral("dtpTo"));
    optional->setShowCheckBox(true);

    FillFormLists(&w);
    QCOMPARE(plain->value(), QVariant(QDate::currentDate()));
    QVERIFY(optional->isNull());

    plain->setValue(QDate(2001, 2, 3));
    optional->setValue(QDate(2001, 2, 3));
    QSignalSpy spy(optional, &DTPicker::valueChanged);
    ResetFormControls(&w);
    QCOMPARE(plain->value(), QVariant(QDate::currentDate()));
    QVERIFY(optional->isNull());
    QCOMPARE(spy.count(), 1);
    // Ticking it again offers today, not the old date.
    optional->checkBox()->setChecked(true);
    QCOMPARE(optional->value(), QVariant(QDate::currentDate()));
}

void TestRecordForm::resetRealGrid()
{
    // The protocol reaches the grid by name only; the real control answers.
    ByNameWindow w(QStringLiteral("frmTest"), QString());
    auto *grid = w.add<OVGrid>(QStringLiteral("grd"), QStringLiteral("def9"));
    grid->setCols(5);
    grid->setRows(30);
    grid->setTextMatrix(3, 2, QStringLiteral("A-100"));
    ResetFormControls(&w);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(grid->Rows(), 9);
    QCOMPARE(grid->TextMatrix(3, 2), QString());
}

void TestRecordForm::badGridDefault()
{
    ByNameWindow w(QStringLiteral("frmTest"), QString());
    auto *grid = w.add<GridStandIn>(QStringLiteral("grd"), QStringLiteral("defx"));
    auto *after = w.add<QLineEdit>(QStringLiteral("txtAfter"), QStringLiteral("cur"));
    grid->setRows(5);
    ResetFormControls(&w);
    QCOMPARE(grid->Rows(), 1);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().contains(QStringLiteral("defx")));
    // The rest of the window is still reset.
    QCOMPARE(after->text(), QStringLiteral("0.00"));
}

void TestRecordForm::showAndClearRecord()
{
    ByNameWindow w;
    BillControls bill(w);
    QVERIFY(showActive(&w));

    OnNavOutputID(12);
    QCOMPARE(w.calls, (QStringList{"ovRst(12)", "ovTotal", "ovCmd(2)"}));

    w.calls.clear();
    bill.txtComment->setText(QStringLiteral("旧"));
    OnNavOutputID(0);
    QCOMPARE(w.calls, QStringList{"ovCmd(0)"});
    QCOMPARE(bill.txtComment->text(), QString());

    // Without "total" in the window's tag, no totals are recomputed.
    ByNameWindow other(QStringLiteral("frmOther"), QStringLiteral("sum"));
    QVERIFY(ShowRecordInForm(&other, 3));
    QCOMPARE(other.calls, (QStringList{"ovRst(3)", "ovCmd(2)"}));
    QVERIFY(m_messages.isEmpty());
}

void TestRecordForm::missingMembersAreReported()
{
    WindowWithoutTotal w;
    QVERIFY(!ShowRecordInForm(&w, 4));
    QCOMPARE(w.calls, QStringList{"ovRst"});
    QCOMPARE(m_messages, QStringList{"窗口 frmPartial 缺少公共方法 ovTotal()。"});

    m_messages.clear();
    bool keep = true;
    QVERIFY(!CallOvSaveYN(&w, &keep));
    QVERIFY(keep);
    QCOMPARE(m_messages, QStringList{"窗口 frmPartial 缺少公共方法 ovSaveYN()。"});

    m_messages.clear();
    QVERIFY(!ShowRecordInForm(nullptr, 4));
    QVERIFY(!ClearForm(nullptr));
    QCOMPARE(m_messages.size(), 2);
}

void TestRecordForm::openRecordForm()
{
    const qint32 first = insertBill();
    const qint32 second = insertBill();
    int created = 0;
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [&created] {
        ++created;
        auto *w = new ByNameWindow;
        BillControls bill(*w);
        return w;
    });

    // The query window, active, opens a bill by double-click.
    ByNameWindow query(QStringLiteral("frmQuery"), QString());
    QVERIFY(showActive(&query));
    QVERIFY(OpenRecordForm(first, QStringLiteral("bill")));
    auto *bill = qobject_cast<ByNameWindow *>(FindForm(QStringLiteral("frmBill")));
    QVERIFY(bill);
    QVERIFY(bill->isVisible());
    QVERIFY(bill->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(ActiveForm(), bill);
    QCOMPARE(bill->calls, (QStringList{"ovSaveYN", QStringLiteral("ovRst(%1)").arg(first), "ovTotal", "ovCmd(2)"}));
    QVERIFY(query.calls.isEmpty());

    // Opening another bill reuses the loaded window; the bar keeps both.
    bill->calls.clear();
    QVERIFY(OpenRecordForm(second, QStringLiteral("bill")));
    QCOMPARE(created, 1);
    QCOMPARE(bill->calls.at(1), QStringLiteral("ovRst(%1)").arg(second));
    auto *nav = bill->findChild<OVNavigationBar *>(QStringLiteral("nav"));
    QCOMPARE(nav->BarList(), QStringLiteral("%1,%2").arg(first).arg(second));

    // No table named: the active window's name tells it.
    bill->calls.clear();
    QVERIFY(OpenRecordForm(first));
    QCOMPARE(nav->NewID(), first);
    QCOMPARE(nav->Count(), 2);
    QVERIFY(m_messages.isEmpty());

    // A table without a record window says so.
    RegisterRecordForm(QStringLiteral("bill"), QString(), {});
    QVERIFY(!OpenRecordForm(first, QStringLiteral("bill")));
    QCOMPARE(m_messages.size(), 1);
}

void TestRecordForm::openKeepsUnsavedRecord()
{
    const qint32 shown = insertBill();
    const qint32 wanted = insertBill();
    auto *w = new ByNameWindow;
    BillControls bill(*w);
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [] { return nullptr; });
    bill.nav->Navigate(OVNavigationBar::ovNBQuery, shown);
    w->calls.clear();
    w->keepChanges = true;

    QVERIFY(OpenRecordForm(wanted, QStringLiteral("bill")));
    QCOMPARE(w->calls, QStringList{"ovSaveYN"});
    QCOMPARE(bill.nav->BarList(), QString::number(shown));
    QCOMPARE(bill.nav->NewID(), shown);
}

void TestRecordForm::openDeletedRecord()
{
    const qint32 id = insertBill();
    DeleteById(QStringLiteral("bill"), id);
    int created = 0;
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [&created] {
        ++created;
        return new ByNameWindow;
    });
    QVERIFY(!OpenRecordForm(id, QStringLiteral("bill")));
    QCOMPARE(m_messages, QStringList{QStringLiteral("TovikID：%1 已删除！").arg(id)});
    QCOMPARE(created, 0);
    QVERIFY(!FindForm(QStringLiteral("frmBill")));
}

void TestRecordForm::typedRecordWindow()
{
    const qint32 id = insertBill();
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [] { return new TypedWindow; });
    QVERIFY(OpenRecordForm(id, QStringLiteral("bill")));
    auto *bill = qobject_cast<TypedWindow *>(FindForm(QStringLiteral("frmBill")));
    QVERIFY(bill);
    QCOMPARE(bill->calls, (QStringList{"ovSaveYN", QStringLiteral("ovRst(%1)").arg(id), "ovTotal", "ovCmd(2)"}));
    QCOMPARE(bill->nav()->BarList(), QString::number(id));

    bill->calls.clear();
    QVERIFY(ClearForm(bill));
    QCOMPARE(bill->calls, QStringList{"ovCmd(0)"});
    QVERIFY(m_messages.isEmpty());
    delete bill;
}

QTEST_MAIN(TestRecordForm)
#include "tst_recordform.moc"
