// Typing into the grid as a user does — keys, clicks, double-clicks, an
// input method — and the order of the events the host receives.

#include "../../TypeText.h"
#include "GridEventLog.h"
#include "RecordList.h"

#include "OVGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

const QString Tick = QStringLiteral("\u221A");

QWidget *focused()
{
    return QApplication::focusWidget();
}

} // namespace

class tst_GridEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void typingThenEnterStoresThenMovesOn();
    void typingThenDownNamesTheNewCell();
    void escapeDiscardsWithoutEvents_data();
    void escapeDiscardsWithoutEvents();
    void enterOnEmptyCellAsksForModalForm_data();
    void enterOnEmptyCellAsksForModalForm();
    void controlKeysOpenWithOldTextSelected_data();
    void controlKeysOpenWithOldTextSelected();
    void cellWithoutEditorOnlyAsks();
    void cancelledBeforeEditOpensNothing();
    void cancelledValidateEditKeepsOldText();
    void validateEditMayRewriteTextOnly();
    void arrowsAtCaretEndsLeaveTheEditor();
    void doubleClickOpensEditor();
    void ticksToggleByClickAndSpace();
    void tickNeedsEditable();
    void comboTypingAndEnter();
    void dropButtonFollowsBeforeEdit();
    void comboKeySkipAfterArrow();
    void pickListStoresTextAndId();
    void dateTypingAid();
    void inputMethodOpensTextEditor();
    void inputMethodWhenNotEditable();
    void inputMethodOnCellsThatTakeText_data();
    void inputMethodOnCellsThatTakeText();
    void leavingTheControlCommits();
    void clickingAnotherCellCommitsFirst();
    void hostMayTakeNavigationKeys();
    void sortByTitleClicks();
    void specialSortUsesDigitsOnlyWithRowNumbers();
    void rowDeletionByRowNumber();
    void noEditorLeftOverWrongCell();
    void pressElsewhereCommitsFirst();
    void resetsDropTheOpenEdit_data();
    void resetsDropTheOpenEdit();

private:
    void openGrid(bool editable = true);
    QTableView *view() const;
    QPoint cellPoint(int row, int col) const;
    QPoint numberPoint(int row) const;
    QPoint titlePoint(int col) const;
    QLineEdit *txt() const;
    QComboBox *combo(const QString &name) const;
    void select(int row, int col);

    std::unique_ptr<QWidget> m_window;
    OVGrid *m_grid = nullptr;
    QLineEdit *m_outside = nullptr;
    std::unique_ptr<GridEventLog> m_log;
};

void tst_GridEditing::init()
{
    openGrid();
}

void tst_GridEditing::cleanup()
{
    m_log.reset();
    m_window.reset();
}

void tst_GridEditing::openGrid(bool editable)
{
    m_log.reset();
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_outside = new QLineEdit(m_window.get());
    m_outside->setObjectName(QStringLiteral("outside"));
    m_grid = new OVGrid(m_window.get());
    m_grid->setObjectName(QStringLiteral("grd"));
    layout->addWidget(m_outside);
    layout->addWidget(m_grid);
    m_window->resize(1000, 420);

    OVGrid *g = m_grid;
    g->setCols(9);
    g->setListWidth(QStringLiteral("700|1200|1200|1500|1500|800|1000|0|1000"));
    g->setListTitle(QStringLiteral("#|名称|日期|品名|客户|选|备注|键|单价"));
    g->setAllowSort(true);
    g->setListTag(QStringLiteral("1;txt|2;txtdate|3;cbo|4;cbodata|5;chk|7;txt|8;txt"));
    g->setListFormat(QStringLiteral("8;0.00"));
    g->setListCombo(3, QStringLiteral("红色|蓝色"));
    g->setListCombo(4, QStringLiteral("1;甲|2;乙"));
    g->setAllowRowDelete(true);
    g->AddItem(QStringLiteral("\tA\t23-01-05\t红色\t\t\t\t\t1.5"));
    g->AddItem(QStringLiteral("\t\t23-02-01\t\t\t\tnote"));
    g->AddItem(QStringLiteral("\tC\t22-12-31"));
    g->AddItem(QStringLiteral("*"));
    g->setEditable(editable);

    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    view()->setFocus();
    QTRY_COMPARE(focused(), static_cast<QWidget *>(view()));
    m_log = std::make_unique<GridEventLog>(m_grid);
}

QTableView *tst_GridEditing::view() const
{
    return m_grid->findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
}

QPoint tst_GridEditing::cellPoint(int row, int col) const
{
    return view()->visualRect(view()->model()->index(row - 1, col - 1)).center();
}

QPoint tst_GridEditing::numberPoint(int row) const
{
    QHeaderView *numbers = view()->verticalHeader();
    return {numbers->width() / 2, numbers->sectionViewportPosition(row - 1) + numbers->sectionSize(row - 1) / 2};
}

QPoint tst_GridEditing::titlePoint(int col) const
{
    QHeaderView *titles = view()->horizontalHeader();
    return {titles->sectionViewportPosition(col - 1) + titles->sectionSize(col - 1) / 2, titles->height() / 2};
}

QLineEdit *tst_GridEditing::txt() const
{
    return m_grid->findChild<QLineEdit *>(QStringLiteral("txt"));
}

QComboBox *tst_GridEditing::combo(const QString &name) const
{
    return m_grid->findChild<QComboBox *>(name);
}

void tst_GridEditing::select(int row, int col)
{
    m_grid->setRow(row);
    m_grid->setCol(col);
    view()->setFocus();
    m_log->take();
}

void tst_GridEditing::typingThenEnterStoresThenMovesOn()
{
    // The host moves on in KeyDownEdit, as the entry windows do.
    connect(m_grid, &OVGrid::KeyDownEdit, m_grid, [this](int, int col, short &key, short) {
        if (key == 13)
            m_grid->setCol(col + 1);
    }, Qt::DirectConnection);
    select(2, 1);
    QTest::keyClicks(focused(), QStringLiteral("ab"));
    QVERIFY(txt()->isVisible());
    QCOMPARE(focused(), txt());
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(2, 1), QStringLiteral("ab"));
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDown(65,0)"), QStringLiteral("BeforeEdit(2,1)"),
        QStringLiteral("KeyDownEdit(2,1,66,0)"),
        QStringLiteral("ValidateEdit(2,1:ab)"), QStringLiteral("AfterEdit(2,1)"),
        QStringLiteral("KeyDownEdit(2,1,13,0)"),
        // The host's move, from its KeyDownEdit handler.
        QStringLiteral("AfterRowColChange(2,1,2,2)"), QStringLiteral("SwitchColType(2,2)")}));
    QVERIFY(txt()->isHidden());
    QCOMPARE(focused(), static_cast<QWidget *>(view()));
    QCOMPARE(m_grid->Col(), 2);
}

void tst_GridEditing::typingThenDownNamesTheNewCell()
{
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("x"));
    QTest::keyClick(focused(), Qt::Key_Down);
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDown(88,0)"), QStringLiteral("BeforeEdit(1,1)"),
        QStringLiteral("ValidateEdit(1,1:x)"), QStringLiteral("AfterEdit(1,1)"),
        QStringLiteral("AfterRowColChange(1,1,2,1)"), QStringLiteral("SwitchColType(2,1)"),
        QStringLiteral("KeyDownEdit(2,1,40,0)")}));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("x"));
    QCOMPARE(m_grid->Row(), 2);

    // Up from the first data row stores and stays.
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("y"));
    QTest::keyClick(focused(), Qt::Key_Up);
    QCOMPARE(m_log->take().mid(2), (QStringList{
        QStringLiteral("ValidateEdit(1,1:y)"), QStringLiteral("AfterEdit(1,1)"),
        QStringLiteral("KeyDownEdit(1,1,38,0)")}));
    QCOMPARE(m_grid->Row(), 1);
}

void tst_GridEditing::escapeDiscardsWithoutEvents_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("old");
    QTest::newRow("text editor") << 1 << "txt" << "A";
    QTest::newRow("drop-down") << 3 << "cbo3" << "红色";
}

void tst_GridEditing::escapeDiscardsWithoutEvents()
{
    QFETCH(int, col);
    QFETCH(QString, editor);
    QFETCH(QString, old);

    select(1, col);
    QTest::keyClicks(focused(), QStringLiteral("zz"));
    QVERIFY(m_grid->findChild<QWidget *>(editor)->isVisible());
    QTest::keyClick(focused(), Qt::Key_Escape);
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDown(90,0)"), QStringLiteral("BeforeEdit(1,%1)").arg(col),
        QStringLiteral("KeyDownEdit(1,%1,90,0)").arg(col), QStringLiteral("KeyDownEdit(1,%1,27,0)").arg(col)}));
    QCOMPARE(m_grid->TextMatrix(1, col), old);
    QVERIFY(m_grid->findChild<QWidget *>(editor)->isHidden());
    QCOMPARE(focused(), static_cast<QWidget *>(view()));
    // A drop-down cell gets its drop button back.
    QCOMPARE(m_grid->findChild<QToolButton *>(QStringLiteral("cmd"))->isVisible(), col == 3);
}

void tst_GridEditing::enterOnEmptyCellAsksForModalForm_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("opens");

    QTest::newRow("empty cell") << 2 << false
                                << QStringList{QStringLiteral("KeyDown(13,0)"), QStringLiteral("BeforeEdit(2,1)"),
                                               QStringLiteral("ModalForm(2,1)")}
                                << true;
    QTest::newRow("host handled it") << 2 << true
                                     << QStringList{QStringLiteral("KeyDown(13,0)"),
                                                    QStringLiteral("BeforeEdit(2,1)"),
                                                    QStringLiteral("ModalForm(2,1)")}
                                     << false;
    QTest::newRow("filled cell") << 1 << false
                                 << QStringList{QStringLiteral("KeyDown(13,0)"), QStringLiteral("BeforeEdit(1,1)")}
                                 << true;
}

void tst_GridEditing::enterOnEmptyCellAsksForModalForm()
{
    QFETCH(int, row);
    QFETCH(bool, cancel);
    QFETCH(QStringList, events);
    QFETCH(bool, opens);

    m_log->cancelModalForm = cancel;
    select(row, 1);
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_log->take(), events);
    QCOMPARE(txt()->isVisible(), opens);
    if (opens) {
        QCOMPARE(txt()->text(), m_grid->TextMatrix(row, 1));
        QCOMPARE(txt()->selectedText(), m_grid->TextMatrix(row, 1));
    }
}

void tst_GridEditing::controlKeysOpenWithOldTextSelected_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("keyCode");
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << 8;
    QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 27;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << 67;
}

void tst_GridEditing::controlKeysOpenWithOldTextSelected()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, keyCode);

    select(1, 1);
    QTest::keyClick(focused(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QStringList events{QStringLiteral("KeyDown(%1,0)").arg(keyCode), QStringLiteral("BeforeEdit(1,1)")};
    if (modifiers == Qt::ControlModifier)
        events = QStringList{QStringLiteral("KeyDown(17,2)"), QStringLiteral("KeyDown(%1,2)").arg(keyCode),
                             QStringLiteral("BeforeEdit(1,1)")};
    QCOMPARE(m_log->take(), events);
    QVERIFY(txt()->isVisible());
    QCOMPARE(txt()->selectedText(), QStringLiteral("A"));

    // What the host's windows do to clear a cell: Backspace twice, Enter.
    QTest::keyClick(focused(), Qt::Key_Backspace);
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(1, 1), QString());
}

void tst_GridEditing::cellWithoutEditorOnlyAsks()
{
    select(1, 6);
    QTest::keyClicks(focused(), QStringLiteral("q"));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("KeyDown(81,0)"), QStringLiteral("BeforeEdit(1,6)")}));
    QVERIFY(txt()->isHidden());

    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(1, 6));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeEdit(1,6)"), QStringLiteral("ModalForm(1,6)"),
                                         QStringLiteral("DblClick")}));
    QCOMPARE(m_grid->TextMatrix(1, 6), QString());
}

void tst_GridEditing::cancelledBeforeEditOpensNothing()
{
    m_log->cancelBeforeEdit = true;
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("ab"));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("KeyDown(65,0)"), QStringLiteral("BeforeEdit(1,1)"),
                                         QStringLiteral("KeyDown(66,0)"), QStringLiteral("BeforeEdit(1,1)")}));
    QVERIFY(txt()->isHidden());
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("A"));
}

void tst_GridEditing::cancelledValidateEditKeepsOldText()
{
    m_log->cancelValidateEdit = true;
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("new"));
    QTest::keyClick(focused(), Qt::Key_Return);
    const QStringList events = m_log->take();
    QCOMPARE(events.filter(QStringLiteral("AfterEdit")), QStringList());
    QCOMPARE(events.last(), QStringLiteral("KeyDownEdit(1,1,13,0)"));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("A"));
    QVERIFY(txt()->isHidden());
}

void tst_GridEditing::validateEditMayRewriteTextOnly()
{
    // A text column stores what the handler left in EditText, formatted.
    m_log->rewriteTo = QStringLiteral("2.5");
    select(1, 8);
    QTest::keyClicks(focused(), QStringLiteral(" 2.5 "));
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(1, 8), QStringLiteral("2.50"));

    // A drop-down column stores its own text whatever the handler wrote.
    m_log->rewriteTo = QStringLiteral("ignored");
    select(2, 3);
    typeText(focused(), QStringLiteral("绿"));
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(2, 3), QStringLiteral("绿"));
}

void tst_GridEditing::arrowsAtCaretEndsLeaveTheEditor()
{
    // Right in the middle of the text moves the caret only.
    select(1, 1);
    QTest::keyClick(focused(), Qt::Key_Backspace); // opens with "A" selected
    QTest::keyClick(focused(), Qt::Key_End);
    QTest::keyClick(focused(), Qt::Key_Left);
    QVERIFY(txt()->isVisible());
    QTest::keyClick(focused(), Qt::Key_Right);
    QVERIFY(txt()->isVisible());
    m_log->take();
    // At the end it commits and moves right.
    QTest::keyClick(focused(), Qt::Key_Right);
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("ValidateEdit(1,1:A)"), QStringLiteral("AfterEdit(1,1)"),
        QStringLiteral("AfterRowColChange(1,1,1,2)"), QStringLiteral("SwitchColType(1,2)"),
        QStringLiteral("KeyDownEdit(1,2,39,0)")}));

    // Left skips the hidden column 7.
    select(1, 8);
    QTest::keyClick(focused(), Qt::Key_Backspace); // all selected: the caret counts as 0
    QTest::keyClick(focused(), Qt::Key_Left);
    QCOMPARE(m_grid->Col(), 6);
    QVERIFY(txt()->isHidden());
}

void tst_GridEditing::doubleClickOpensEditor()
{
    select(1, 1);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(1, 1));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeEdit(1,1)"), QStringLiteral("ModalForm(1,1)"),
                                         QStringLiteral("DblClick")}));
    QVERIFY(txt()->isVisible());
    QCOMPARE(txt()->selectedText(), QStringLiteral("A"));
    QCOMPARE(focused(), txt());

    // A double-click on another cell makes it current first.
    QTest::keyClick(focused(), Qt::Key_Escape);
    m_log->take();
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(3, 1));
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("AfterRowColChange(1,1,3,1)"), QStringLiteral("SwitchColType(3,1)"),
        QStringLiteral("BeforeEdit(3,1)"), QStringLiteral("ModalForm(3,1)"), QStringLiteral("DblClick")}));
    QCOMPARE(txt()->text(), QStringLiteral("C"));
}

void tst_GridEditing::ticksToggleByClickAndSpace()
{
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(2, 5));
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("AfterRowColChange(1,1,2,5)"), QStringLiteral("SwitchColType(2,5)"),
        QStringLiteral("BeforeEdit(2,5)"), QStringLiteral("ValidateEdit(2,5:)"), QStringLiteral("AfterEdit(2,5)"),
        QStringLiteral("Click")}));
    QCOMPARE(m_grid->TextMatrix(2, 5), QStringLiteral("-1"));
    QCOMPARE(m_grid->Text(), Tick);

    QTest::keyClick(focused(), Qt::Key_Space);
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDown(32,0)"), QStringLiteral("BeforeEdit(2,5)"), QStringLiteral("ValidateEdit(2,5:)"),
        QStringLiteral("AfterEdit(2,5)")}));
    QCOMPARE(m_grid->TextMatrix(2, 5), QStringLiteral("0"));

    // Refused by ValidateEdit: no change.
    m_log->cancelValidateEdit = true;
    QTest::keyClick(focused(), Qt::Key_Space);
    QCOMPARE(m_grid->TextMatrix(2, 5), QStringLiteral("0"));

    // The second click of a double-click does not toggle again.
    m_log->cancelValidateEdit = false;
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(2, 5));
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(2, 5));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, cellPoint(2, 5));
    QCOMPARE(m_grid->TextMatrix(2, 5), QStringLiteral("-1"));
}

void tst_GridEditing::tickNeedsEditable()
{
    openGrid(false);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(1, 5));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("AfterRowColChange(1,1,1,5)"), QStringLiteral("Click")}));
    QCOMPARE(m_grid->TextMatrix(1, 5), QStringLiteral("0"));
}

void tst_GridEditing::comboTypingAndEnter()
{
    select(2, 3);
    QComboBox *cbo3 = combo(QStringLiteral("cbo3"));
    QVERIFY(cbo3);
    typeText(focused(), QStringLiteral("蓝"));
    QVERIFY(cbo3->isVisible());
    QCOMPARE(focused(), static_cast<QWidget *>(cbo3));
    QCOMPARE(cbo3->currentText(), QStringLiteral("蓝"));
    typeText(focused(), QStringLiteral("色"));
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(2, 3), QStringLiteral("蓝色"));
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDown(0,0)"), QStringLiteral("BeforeEdit(2,3)"), QStringLiteral("KeyDownEdit(2,3,0,0)"),
        QStringLiteral("ValidateEdit(2,3:蓝色)"), QStringLiteral("AfterEdit(2,3)"),
        // Back on the grid, the drop button asks again.
        QStringLiteral("BeforeEdit(2,3)"), QStringLiteral("KeyDownEdit(2,3,13,0)")}));
    QVERIFY(cbo3->isHidden());
    QVERIFY(m_grid->findChild<QToolButton *>(QStringLiteral("cmd"))->isVisible());
}

void tst_GridEditing::dropButtonFollowsBeforeEdit()
{
    auto *cmd = m_grid->findChild<QToolButton *>(QStringLiteral("cmd"));
    select(1, 2);
    m_grid->setCol(3);
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("AfterRowColChange(1,2,1,3)"),
                                         QStringLiteral("SwitchColType(1,3)"), QStringLiteral("BeforeEdit(1,3)")}));
    QVERIFY(cmd->isVisible());
    const QRect cell = view()->visualRect(view()->model()->index(0, 2))
                           .translated(view()->viewport()->geometry().topLeft());
    QCOMPARE(cmd->geometry().right(), cell.right());
    QCOMPARE(cmd->geometry().top(), cell.top());
    QCOMPARE(cmd->height(), cell.height());

    // Its click opens the drop-down over the cell with the cell's text.
    QTest::mouseClick(cmd, Qt::LeftButton);
    QComboBox *cbo3 = combo(QStringLiteral("cbo3"));
    QVERIFY(cbo3->isVisible());
    // 75 twips short of the cell, so the cell's bottom line shows.
    const int inset = qRound(75 * view()->logicalDpiY() / 1440.0);
    QCOMPARE(cbo3->geometry(), cell.adjusted(0, 0, 0, -inset));
    QCOMPARE(cbo3->currentText(), QStringLiteral("红色"));
    QVERIFY(cmd->isHidden());
    cbo3->hidePopup();
    QTest::keyClick(focused(), Qt::Key_Escape);
    QVERIFY(cbo3->isHidden());

    // Refused: no button.
    m_log->cancelBeforeEdit = true;
    m_grid->setCol(4);
    QVERIFY(cmd->isHidden());
    m_grid->setCol(2);
    m_log->cancelBeforeEdit = false;
    m_grid->setCol(4);
    QVERIFY(cmd->isVisible());
    // Not on a tick cell, nor once the control lost the focus.
    m_grid->setCol(5);
    QVERIFY(cmd->isHidden());
    m_grid->setCol(3);
    QVERIFY(cmd->isVisible());
    m_outside->setFocus();
    QVERIFY(cmd->isHidden());
}

void tst_GridEditing::comboKeySkipAfterArrow()
{
    select(1, 3);
    QTest::keyClick(focused(), Qt::Key_Backspace); // opens the drop-down with its text
    QComboBox *cbo3 = combo(QStringLiteral("cbo3"));
    QCOMPARE(focused(), static_cast<QWidget *>(cbo3));
    m_log->take();
    QTest::keyClick(focused(), Qt::Key_Down);
    QCOMPARE(cbo3->currentText(), QStringLiteral("蓝色"));
    QTest::keyClick(focused(), Qt::Key_Return); // the key after an arrow is the drop-down's
    QVERIFY(cbo3->isVisible());
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("KeyDownEdit(1,3,40,0)"),
        QStringLiteral("ValidateEdit(1,3:蓝色)"), QStringLiteral("AfterEdit(1,3)"), QStringLiteral("BeforeEdit(1,3)"),
        QStringLiteral("KeyDownEdit(1,3,13,0)")}));
    QCOMPARE(m_grid->TextMatrix(1, 3), QStringLiteral("蓝色"));
}

void tst_GridEditing::pickListStoresTextAndId()
{
    select(2, 4);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(2, 4));
    auto *pick = combo(QStringLiteral("cbodata"));
    QVERIFY(pick->isVisible());
    QCOMPARE(pick->currentIndex(), -1);
    pick->hidePopup();
    QTest::keyClick(focused(), Qt::Key_Down);
    m_log->take();
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("ValidateEdit(2,4:1)"), QStringLiteral("AfterEdit(2,4)"),
                                         QStringLiteral("BeforeEdit(2,4)"), QStringLiteral("KeyDownEdit(2,4,13,0)")}));
    QCOMPARE(m_grid->TextMatrix(2, 4), QStringLiteral("甲"));
    QCOMPARE(m_grid->Cell(OVGrid::ovCPValue, 2).toInt(), 1);

    // Opened again, the row's id chooses the entry; Right leaves it.
    QTest::mouseClick(m_grid->findChild<QToolButton *>(QStringLiteral("cmd")), Qt::LeftButton);
    QCOMPARE(pick->currentText(), QStringLiteral("甲"));
    pick->hidePopup();
    QTest::keyClick(focused(), Qt::Key_Down);
    QTest::keyClick(focused(), Qt::Key_Right);
    QCOMPARE(m_grid->TextMatrix(2, 4), QStringLiteral("乙"));
    QCOMPARE(m_grid->Cell(OVGrid::ovCPValue, 2).toInt(), 2);
    QCOMPARE(m_grid->Col(), 5);
}

void tst_GridEditing::dateTypingAid()
{
    select(2, 2);
    QTest::keyClicks(focused(), QStringLiteral("23"));
    QCOMPARE(txt()->text(), QStringLiteral("23-"));
    QTest::keyClicks(focused(), QStringLiteral("01"));
    QCOMPARE(txt()->text(), QStringLiteral("23-01-"));
    QTest::keyClicks(focused(), QStringLiteral("05"));
    QCOMPARE(txt()->text(), QStringLiteral("23-01-05"));

    // Deleting back over a dash works; typing again adds it again.
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(focused(), Qt::Key_Backspace);
    QCOMPARE(txt()->text(), QStringLiteral("2"));
    QTest::keyClicks(focused(), QStringLiteral("3"));
    QCOMPARE(txt()->text(), QStringLiteral("23-"));

    // Typing in the middle adds none.
    txt()->setText(QStringLiteral("2"));
    txt()->setCursorPosition(0);
    QTest::keyClicks(focused(), QStringLiteral("1"));
    QCOMPARE(txt()->text(), QStringLiteral("12"));

    // Text columns get no dashes.
    QTest::keyClick(focused(), Qt::Key_Escape);
    select(2, 1);
    QTest::keyClicks(focused(), QStringLiteral("23"));
    QCOMPARE(txt()->text(), QStringLiteral("23"));
}

void tst_GridEditing::inputMethodOpensTextEditor()
{
    select(1, 1);
    QInputMethodEvent compose(QStringLiteral("zhong"), {});
    QApplication::sendEvent(focused(), &compose);
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeEdit(1,1)"), QStringLiteral("KeyDown(229,0)")}));
    QVERIFY(txt()->isVisible());
    // The grid keeps the focus while the composition runs.
    QCOMPARE(focused(), static_cast<QWidget *>(view()));
    QInputMethodQueryEvent query(Qt::ImCursorRectangle);
    QApplication::sendEvent(view(), &query);
    QVERIFY(txt()->geometry().contains(query.value(Qt::ImCursorRectangle).toRect().center()));
    // A key the input method lets through meanwhile is the editor's, not a
    // new edit that would drop the composition.
    QTest::keyClick(focused(), Qt::Key_Z);
    QCOMPARE(m_log->take(), QStringList{QStringLiteral("KeyDownEdit(1,1,90,0)")});
    txt()->clear();

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("中"));
    QApplication::sendEvent(focused(), &commit);
    QCOMPARE(txt()->text(), QStringLiteral("中"));
    QCOMPARE(focused(), txt());
    QInputMethodEvent more;
    more.setCommitString(QStringLiteral("文"));
    QApplication::sendEvent(focused(), &more);
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("中文"));

    // A drop-down column takes the composition too.
    select(2, 3);
    QInputMethodEvent word;
    word.setCommitString(QStringLiteral("紫"));
    QApplication::sendEvent(focused(), &word);
    QCOMPARE(combo(QStringLiteral("cbo3"))->currentText(), QStringLiteral("紫"));
}

void tst_GridEditing::inputMethodWhenNotEditable()
{
    openGrid(false);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("中"));
    QApplication::sendEvent(focused(), &commit);
    QCOMPARE(m_log->take(), QStringList());
    QVERIFY(txt()->isHidden());
}

void tst_GridEditing::inputMethodOnCellsThatTakeText_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<QString>("retag"); // the host's ListTagSingle on entering the cell
    QTest::addColumn<bool>("enabled");

    QTest::newRow("text") << 1 << true << QString() << true;
    QTest::newRow("date") << 2 << true << QString() << true;
    QTest::newRow("drop-down") << 3 << true << QString() << true;
    QTest::newRow("pick-list") << 4 << true << QString() << false;
    QTest::newRow("tick") << 5 << true << QString() << false;
    QTest::newRow("no editor") << 6 << true << QString() << false;
    QTest::newRow("not editable") << 1 << false << QString() << false;
    QTest::newRow("text made a tick") << 1 << true << QStringLiteral("chk") << false;
    QTest::newRow("tick made text") << 5 << true << QStringLiteral("txt") << true;
}

void tst_GridEditing::inputMethodOnCellsThatTakeText()
{
    QFETCH(int, col);
    QFETCH(bool, editable);
    QFETCH(QString, retag);
    QFETCH(bool, enabled);

    // Input methods ask the focused widget whether they may compose, and
    // where the composition's candidates go.
    const auto ask = [this](Qt::InputMethodQuery which) {
        QInputMethodQueryEvent query(which);
        QApplication::sendEvent(view(), &query);
        return query.value(which);
    };
    m_grid->setEditable(editable);
    if (!retag.isEmpty()) {
        connect(m_grid, &OVGrid::SwitchColType, m_grid,
                [&](int, int c) { m_grid->setListTagSingle(c, retag); });
    }
    select(2, col);
    QCOMPARE(ask(Qt::ImEnabled).toBool(), enabled);
    m_outside->setFocus();
    view()->setFocus();
    QCOMPARE(ask(Qt::ImEnabled).toBool(), enabled);
    if (enabled) {
        const QPoint cell = view()->viewport()->mapTo(view(), cellPoint(2, col));
        QVERIFY(ask(Qt::ImCursorRectangle).toRect().contains(cell));
    }
}

void tst_GridEditing::leavingTheControlCommits()
{
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("left"));
    m_log->take();
    m_outside->setFocus();
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("ValidateEdit(1,1:left)"), QStringLiteral("AfterEdit(1,1)")}));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("left"));
    QVERIFY(txt()->isHidden());

    // Moving the current cell from the host while editing commits too.
    view()->setFocus();
    QTest::keyClicks(focused(), QStringLiteral("w"));
    m_log->take();
    m_grid->setRow(3);
    QCOMPARE(m_log->take().mid(0, 2), (QStringList{QStringLiteral("ValidateEdit(1,1:w)"),
                                                   QStringLiteral("AfterEdit(1,1)")}));
    QVERIFY(txt()->isHidden());
    QCOMPARE(focused(), static_cast<QWidget *>(view()));
}

void tst_GridEditing::clickingAnotherCellCommitsFirst()
{
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("m"));
    m_log->take();
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellPoint(3, 2));
    QCOMPARE(m_log->take(), (QStringList{
        QStringLiteral("ValidateEdit(1,1:m)"), QStringLiteral("AfterEdit(1,1)"),
        QStringLiteral("AfterRowColChange(1,1,3,2)"), QStringLiteral("SwitchColType(3,2)"), QStringLiteral("Click")}));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("m"));
    QVERIFY(txt()->isHidden());
}

void tst_GridEditing::hostMayTakeNavigationKeys()
{
    connect(m_grid, &OVGrid::KeyDown, m_grid, [](short &key, short) {
        if (key == 40)
            key = 0;
    }, Qt::DirectConnection);
    select(1, 1);
    QTest::keyClick(focused(), Qt::Key_Down);
    QCOMPARE(m_grid->Row(), 1);
    QTest::keyClick(focused(), Qt::Key_Right);
    QCOMPARE(m_grid->Col(), 2);
}

void tst_GridEditing::sortByTitleClicks()
{
    auto *titles = view()->horizontalHeader()->viewport();
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(1));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeSort"), QStringLiteral("AfterRowColChange(5,9,1,1)"),
                                         QStringLiteral("Click")}));
    QCOMPARE(m_grid->TextMatrix(0, 1), QStringLiteral("名称/"));
    QCOMPARE(m_grid->TextMatrix(1, 1), QString());
    QCOMPARE(m_grid->TextMatrix(2, 1), QStringLiteral("A"));
    QCOMPARE(m_grid->TextMatrix(3, 1), QStringLiteral("C"));
    QCOMPARE(m_grid->TextMatrix(4, 0), QStringLiteral("*"));
    QCOMPARE(m_grid->TextMatrix(2, 0), QStringLiteral("2"));

    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(1));
    QCOMPARE(m_grid->TextMatrix(0, 1), QStringLiteral("名称\\"));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("C"));
    QCOMPARE(m_grid->TextMatrix(4, 0), QStringLiteral("*"));

    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(8));
    QCOMPARE(m_grid->TextMatrix(0, 1), QStringLiteral("名称"));
    QCOMPARE(m_grid->TextMatrix(0, 8), QStringLiteral("单价/"));
    QCOMPARE(m_grid->Row(), 1);
    QCOMPARE(m_grid->Col(), 8);

    m_log->cancelSort = true;
    m_log->take();
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(1));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeSort"), QStringLiteral("Click")}));
    QCOMPARE(m_grid->TextMatrix(0, 8), QStringLiteral("单价/"));

    // A load takes the mark off: the rows are no longer in that order, and
    // the next click on the title sorts ascending again.
    RecordList records(1, {{QStringLiteral("0.5")}});
    m_grid->BindRst(records);
    QCOMPARE(m_grid->TextMatrix(0, 8), QStringLiteral("单价"));
    m_log->cancelSort = false;
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(8));
    QCOMPARE(m_grid->TextMatrix(0, 8), QStringLiteral("单价/"));
}

void tst_GridEditing::specialSortUsesDigitsOnlyWithRowNumbers()
{
    m_grid->setListSpecSort(QStringLiteral("6"));
    m_grid->setTextMatrix(1, 6, QStringLiteral("1-10"));
    m_grid->setTextMatrix(2, 6, QStringLiteral("1-9"));
    m_grid->setTextMatrix(3, 6, QStringLiteral("2-0"));
    auto *titles = view()->horizontalHeader()->viewport();
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(6));
    // By their digits 110, 19, 20: the texts come back unchanged.
    QCOMPARE(m_grid->TextMatrix(1, 6), QStringLiteral("1-9"));
    QCOMPARE(m_grid->TextMatrix(2, 6), QStringLiteral("2-0"));
    QCOMPARE(m_grid->TextMatrix(3, 6), QStringLiteral("1-10"));
    QCOMPARE(m_grid->TextMatrix(1, 2), QStringLiteral("23-02-01")); // rows moved whole

    // Without row numbers the displayed text decides.
    m_grid->setAllowRowNo(false);
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(6));
    QTest::mouseClick(titles, Qt::LeftButton, {}, titlePoint(6)); // ascending again
    QCOMPARE(m_grid->TextMatrix(1, 6), QStringLiteral("1-10"));
    QCOMPARE(m_grid->TextMatrix(2, 6), QStringLiteral("1-9"));
}

void tst_GridEditing::rowDeletionByRowNumber()
{
    auto *numbers = view()->verticalHeader()->viewport();
    m_log->cancelRowDelete = true;
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberPoint(2));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("AfterRowColChange(1,1,2,1)"),
                                         QStringLiteral("SwitchColType(2,1)"), QStringLiteral("BeforeRowDelete(2)")}));
    QCOMPARE(m_grid->Rows(), 5);

    m_log->cancelRowDelete = false;
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberPoint(2));
    // The row that moves up into the current place is announced as the
    // new current cell; no DblClick.
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("BeforeRowDelete(2)"),
                                         QStringLiteral("AfterRowColChange(4,9,2,1)"),
                                         QStringLiteral("AfterRowDelete")}));
    QCOMPARE(m_grid->Rows(), 4);
    QCOMPARE(m_grid->TextMatrix(2, 1), QStringLiteral("C"));
    QCOMPARE(m_grid->TextMatrix(2, 0), QStringLiteral("2"));

    // The entry row is never deleted: a plain double-click.
    QTest::mouseDClick(numbers, Qt::LeftButton, {}, numberPoint(3));
    const QStringList events = m_log->take();
    QCOMPARE(events.filter(QStringLiteral("RowDelete")), QStringList());
    QCOMPARE(events.last(), QStringLiteral("DblClick"));
    QCOMPARE(m_grid->Rows(), 4);
}

void tst_GridEditing::noEditorLeftOverWrongCell()
{
    // Typing across a whole row with Enter moving right: each editor closes
    // before the next cell opens, and every keystroke lands.
    connect(m_grid, &OVGrid::KeyDownEdit, m_grid, [this](int, int col, short &key, short) {
        if (key == 13)
            m_grid->setCol(col + 1);
    }, Qt::DirectConnection);
    select(3, 1);
    QTest::keyClicks(focused(), QStringLiteral("K9"));
    QTest::keyClick(focused(), Qt::Key_Return);
    QTest::keyClicks(focused(), QStringLiteral("240101"));
    QTest::keyClick(focused(), Qt::Key_Return);
    typeText(focused(), QStringLiteral("黑"));
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(3, 1), QStringLiteral("K9"));
    QCOMPARE(m_grid->TextMatrix(3, 2), QStringLiteral("24-01-01"));
    QCOMPARE(m_grid->TextMatrix(3, 3), QStringLiteral("黑"));
    QCOMPARE(m_grid->Col(), 4);
    QVERIFY(txt()->isHidden());
    QVERIFY(combo(QStringLiteral("cbo3"))->isHidden());
}

void tst_GridEditing::pressElsewhereCommitsFirst()
{
    // A button that takes no focus, as the navigation bar's: the edit is
    // stored before the button acts on it.
    auto *button = new QToolButton(m_window.get());
    button->setFocusPolicy(Qt::NoFocus);
    m_window->layout()->addWidget(button);
    button->show();
    connect(button, &QToolButton::clicked, m_grid, [this] { m_log->events << QStringLiteral("clicked"); });
    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("ab"));
    m_log->take();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("ValidateEdit(1,1:ab)"), QStringLiteral("AfterEdit(1,1)"),
                                         QStringLiteral("clicked")}));
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("ab"));
    QVERIFY(txt()->isHidden());
    QCOMPARE(focused(), static_cast<QWidget *>(view()));

    // Refused by ValidateEdit: closed, the cell keeps its text.
    m_log->cancelValidateEdit = true;
    QTest::keyClicks(focused(), QStringLiteral("cd"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_grid->TextMatrix(1, 1), QStringLiteral("ab"));
    QVERIFY(txt()->isHidden());
    m_log->cancelValidateEdit = false;

    // A drop-down, and a press in another window; a press on the open
    // list is the drop-down's own.
    select(2, 3);
    QTest::keyClicks(focused(), QStringLiteral("x"));
    QComboBox *cbo3 = combo(QStringLiteral("cbo3"));
    cbo3->showPopup();
    QTest::mouseClick(cbo3->view()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(cbo3->isVisible());
    cbo3->hidePopup();
    cbo3->setEditText(QStringLiteral("x"));
    QWidget other;
    other.show();
    QTest::mouseClick(&other, Qt::LeftButton);
    QCOMPARE(m_grid->TextMatrix(2, 3), QStringLiteral("x"));
    QVERIFY(cbo3->isHidden());
}

void tst_GridEditing::resetsDropTheOpenEdit_data()
{
    QTest::addColumn<QString>("reset");
    QTest::addColumn<QString>("cellAfter");
    QTest::newRow("Rows = 1, then the next record") << "rows" << "new";
    QTest::newRow("BindRst") << "bind" << "A";
}

void tst_GridEditing::resetsDropTheOpenEdit()
{
    QFETCH(QString, reset);
    QFETCH(QString, cellAfter);

    select(1, 1);
    QTest::keyClicks(focused(), QStringLiteral("old"));
    m_log->take();
    if (reset == QLatin1String("rows")) {
        m_grid->setRows(1);
        m_grid->AddItem(QStringLiteral("\tnew"));
    } else {
        RecordList records(1, {{QStringLiteral("2")}});
        m_grid->BindRst(records);
    }
    QVERIFY(txt()->isHidden());
    QCOMPARE(focused(), static_cast<QWidget *>(view()));
    // Enter now starts an edit of the cell as it is; nothing is stored.
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(m_log->take().filter(QStringLiteral("Edit(")), QStringList{QStringLiteral("BeforeEdit(1,1)")});
    QCOMPARE(m_grid->TextMatrix(1, 1), cellAfter);
}

QTEST_MAIN(tst_GridEditing)
#include "tst_gridediting.moc"
