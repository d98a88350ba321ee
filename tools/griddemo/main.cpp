// A window to try OVGrid by hand: a bill-like sheet of article lines that
// computes its weights and amounts as a bill does, a sheet with the other
// editor kinds (dates, ticks, a pick-list), and the grid's events as they
// come.
//
//   build/bin/ovgrid_demo
//   build/bin/ovgrid_demo --screenshot demo.png   (saves the window and quits)

#include "OVGrid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Columns of the bill sheet.
enum BillCol { Marked = 1, LineId, Article, Product, Colour, FirstPiece = 6, LastPiece = 15, Kg, Price, Amount, Pieces };

void computeLine(OVGrid *grid, int row);

void setUpBillSheet(OVGrid *grid)
{
    grid->setCols(20);
    grid->setEditable(true);
    grid->setListWidth(QStringLiteral("700|0|0|1600|2200|1600|900|900|900|900|900|900|900|900|900|900|1000|1000|1500|0"));
    grid->setListTitle(QStringLiteral("#||id|编号|品名|色号|1|2|3|4|5|6|7|8|9|10|KG|单价|金额|匹"));
    grid->setListTag(QStringLiteral("3;txt|6|7|8|9|10|11|12|13|14|15|17|4;cbo|5"));
    grid->setListFormat(QStringLiteral("6;z|7|8|9|10|11|12|13|14|15|17;0.00|18"));
    grid->setListAlignment(QStringLiteral("3;4|4|5"));
    grid->setListCombo(Product, QStringLiteral("全棉斜纹|涤棉府绸|真丝双绉|亚麻平纹"));
    grid->setListCombo(Colour, QStringLiteral("红色|藏青|米白|墨绿|浅灰"));
    grid->setRowHeightMin(360);
    const QStringList samples{
        QStringLiteral("\t\t1\tA-101\t全棉斜纹\t红色\t23.5\t24.1\t22.8\t\t\t\t\t\t\t\t\t12.00"),
        QStringLiteral("\t\t2\tB-207\t涤棉府绸\t藏青\t31\t30.6\t29.9\t31.2\t\t\t\t\t\t\t\t9.50"),
        QStringLiteral("\t\t3\tC-015\t真丝双绉\t米白\t18.2\t\t\t\t\t\t\t\t\t\t\t46.00"),
    };
    for (const QString &line : samples) {
        grid->AddItem(line);
        computeLine(grid, grid->Rows() - 1);
    }
    grid->AddItem(QStringLiteral("*"));
}

void computeLine(OVGrid *grid, int row)
{
    const OVCurrency kg = grid->Aggregate(OVGrid::ovSTSum, row, FirstPiece, row, LastPiece);
    grid->setTextMatrix(row, Kg, kg.toString());
    grid->setTextMatrix(row, Amount, QString::number(grid->TextMatrix(row, Price).toDouble() * kg.toDouble()));
    grid->setTextMatrix(row, Pieces, grid->Aggregate(OVGrid::ovSTCount, row, FirstPiece, row, LastPiece).toString());
}

// The bill window's answers, in short: lines are typed in order, a piece
// weight must be a number, a line computes itself, Enter moves on.
void answerBillSheet(OVGrid *grid)
{
    const auto direct = Qt::DirectConnection;
    QObject::connect(grid, &OVGrid::BeforeEdit, grid, [grid](int row, int col, bool &cancel) {
        const int above = row > 1 ? row - 1 : row;
        if (col == Article)
            cancel = row > 1 && grid->TextMatrix(above, Article).isEmpty();
        else
            cancel = grid->TextMatrix(row, Article).isEmpty();
    }, direct);
    QObject::connect(grid, &OVGrid::ValidateEdit, grid, [grid](int, int col, bool &cancel) {
        const QString text = grid->EditText().trimmed();
        grid->setEditText(text);
        bool number = true;
        text.toDouble(&number);
        cancel = col >= FirstPiece && !text.isEmpty() && !number;
    }, direct);
    QObject::connect(grid, &OVGrid::AfterEdit, grid, [grid](int row, int col) {
        if (col == Product || col == Colour)
            grid->AddCboList(col, grid->TextMatrix(row, col));
        if (col == Article || col >= FirstPiece)
            computeLine(grid, row);
        grid->setTextMatrix(row, Marked, QStringLiteral("0"));
        grid->AutoLastRow();
    }, direct);
    QObject::connect(grid, &OVGrid::KeyDownEdit, grid, [grid](int row, int col, short &key, short) {
        if (key != 13)
            return;
        if (col == Article) {
            grid->setCol(FirstPiece);
        } else if (col < LastPiece) {
            grid->setCol(col + 1);
        } else {
            grid->setRow(row + 1);
            grid->setCol(FirstPiece);
        }
    }, direct);
}

void setUpKindsSheet(OVGrid *grid)
{
    grid->setCols(7);
    grid->setEditable(true);
    grid->setAllowSort(true);
    grid->setAllowRowDelete(true);
    grid->setCurrentRowMode(OVGrid::ovCRFontBold);
    grid->setWordWrap(true);
    grid->setRowHeightMin(360);
    grid->setListWidth(QStringLiteral("700|1300|1000|1600|1800|3000|0"));
    grid->setListTitle(QStringLiteral("#|日期|已付（勾选即已收款）|客户|数量|备注（可折行的长说明）|id"));
    grid->setListTag(QStringLiteral("1;txtdate|2;chk|3;cbodata|4;txt|5;txt"));
    grid->setListFormat(QStringLiteral("4;0.00"));
    grid->setListWordWrap(QStringLiteral("5"));
    grid->setListCombo(3, QStringLiteral("1;王记布行|2;东方纺织|3;顺发贸易"));
    grid->setToolTip(QStringLiteral("删除：双击行号   排序：单击标题"));
    grid->AddItem(QStringLiteral("\t23-03-02\t1\t\t120\t首批到货"));
    grid->AddItem(QStringLiteral("\t23-01-15\t0\t\t80.5\t一段较长的备注文字，会在这一列里折成几行显示。"));
    grid->AddItem(QStringLiteral("\t22-12-30\t1\t\t7"));
    grid->setCell(OVGrid::ovCPValue, 1, 0, 2);
    grid->setCell(OVGrid::ovCPValue, 2, 0, 1);
    grid->setCell(OVGrid::ovCPValue, 3, 0, 3);
    grid->AddItem(QStringLiteral("*"));
    QObject::connect(grid, &OVGrid::AfterEdit, grid, [grid](int, int) { grid->AutoLastRow(); },
                     Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::KeyDownEdit, grid, [grid](int row, int col, short &key, short) {
        if (key != 13)
            return;
        if (col < grid->Cols() - 2) {
            grid->setCol(col + 1);
        } else {
            grid->setRow(row + 1);
            grid->setCol(1);
        }
    }, Qt::DirectConnection);
}

// Writes every event of a grid into the event pane.
void logEvents(OVGrid *grid, const QString &name, QPlainTextEdit *pane)
{
    const auto line = [grid, name, pane](const QString &text) {
        if (!grid->isVisible())
            return;
        pane->appendPlainText(name + QStringLiteral("  ") + text);
    };
    QObject::connect(grid, &OVGrid::BeforeEdit, pane, [line](int r, int c, bool &cancel) {
        line(QStringLiteral("BeforeEdit(%1, %2)%3").arg(r).arg(c).arg(cancel ? QStringLiteral(" 拒绝") : QString()));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::ModalForm, pane, [line](int r, int c, bool &) {
        line(QStringLiteral("ModalForm(%1, %2)").arg(r).arg(c));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::ValidateEdit, pane, [line, grid](int r, int c, bool &cancel) {
        line(QStringLiteral("ValidateEdit(%1, %2) \"%3\"%4").arg(r).arg(c).arg(grid->EditText(),
                                                                              cancel ? QStringLiteral(" 拒绝") : QString()));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::AfterEdit, pane, [line](int r, int c) {
        line(QStringLiteral("AfterEdit(%1, %2)").arg(r).arg(c));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::SwitchColType, pane, [line](int r, int c) {
        line(QStringLiteral("SwitchColType(%1, %2)").arg(r).arg(c));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::AfterRowColChange, pane, [line](int r0, int c0, int r1, int c1) {
        line(QStringLiteral("AfterRowColChange(%1, %2 → %3, %4)").arg(r0).arg(c0).arg(r1).arg(c1));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::KeyDownEdit, pane, [line](int r, int c, short &key, short shift) {
        line(QStringLiteral("KeyDownEdit(%1, %2, %3, %4)").arg(r).arg(c).arg(key).arg(shift));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::KeyDown, pane, [line](short &key, short shift) {
        line(QStringLiteral("KeyDown(%1, %2)").arg(key).arg(shift));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::BeforeSort, pane, [line](bool &) { line(QStringLiteral("BeforeSort")); },
                     Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::BeforeRowDelete, pane, [line](int r, bool &) {
        line(QStringLiteral("BeforeRowDelete(%1)").arg(r));
    }, Qt::DirectConnection);
    QObject::connect(grid, &OVGrid::AfterRowDelete, pane, [line] { line(QStringLiteral("AfterRowDelete")); });
    QObject::connect(grid, &OVGrid::Click, pane, [line] { line(QStringLiteral("Click")); });
    QObject::connect(grid, &OVGrid::DblClick, pane, [line] { line(QStringLiteral("DblClick")); });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ovgrid_demo"));
    QFont font(QStringLiteral("SimSun"), 10);
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    QApplication::setFont(font);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    const QCommandLineOption sheet(QStringLiteral("sheet"), QStringLiteral("The sheet shown first (1 or 2)."),
                                   QStringLiteral("number"), QStringLiteral("1"));
    parser.addOption(sheet);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("OVGrid 试用"));
    auto *tabs = new QTabWidget;
    auto *bill = new OVGrid;
    bill->setObjectName(QStringLiteral("grd"));
    setUpBillSheet(bill);
    answerBillSheet(bill);
    auto *kinds = new OVGrid;
    kinds->setObjectName(QStringLiteral("grd1"));
    setUpKindsSheet(kinds);
    tabs->addTab(bill, QStringLiteral("票据明细"));
    tabs->addTab(kinds, QStringLiteral("日期、勾选、选择"));

    auto *events = new QPlainTextEdit;
    events->setReadOnly(true);
    events->setMaximumBlockCount(500);
    logEvents(bill, QStringLiteral("grd "), events);
    logEvents(kinds, QStringLiteral("grd1"), events);

    auto *hint = new QLabel(QStringLiteral(
        "直接打字开始输入，回车确认并前进；方向键在格间移动；Esc 放弃；Backspace 修改原值；"
        "品名、色号有下拉；双击行号删除行；单击标题排序。"));
    hint->setWordWrap(true);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(tabs);
    splitter->addWidget(events);
    splitter->setSizes({420, 160});
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(hint);
    layout->addWidget(splitter);
    window.resize(1500, 640);
    window.show();
    const bool second = parser.value(sheet) == QLatin1String("2");
    tabs->setCurrentIndex(second ? 1 : 0);
    OVGrid *shown = second ? kinds : bill;
    shown->setFocus();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(300, &window, [&window, shown, file] {
            // Open an editor on the second line, as a user would.
            shown->setRow(2);
            shown->setCol(shown == shown->window()->findChild<OVGrid *>(QStringLiteral("grd")) ? Colour : 5);
            auto *view = shown->findChild<QTableView *>(QStringLiteral("grd"));
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
            QApplication::sendEvent(view, &key);
            QTimer::singleShot(200, &window, [&window, file] {
                window.grab().save(file);
                QApplication::quit();
            });
        });
    }
    return app.exec();
}
