// One keystroke in the article picker over 50,000 articles: the key typed
// into the real window's search box, which queries, fills the grid (BindRst)
// and sets the caption, then the repaint; against the bare "like" query with
// its rows read. Measured for keystrokes that list many, some and few rows;
// beside them the same query ordered by the bare artno column, which SQLite
// answers by walking the artno index.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_picker

#include "BenchTiming.h"

#include "masterdata/frmArtno.h"
#include "masterdata/frmSearchArtno.h"
#include "shared/base/TextRules.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/TextOrder.h"

#include <OVGrid.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Articles = 50000;
constexpr int Runs = 15;


// Article numbers, products and colours as a trader keeps them.
void createArticles()
{
    const QStringList products{
        QStringLiteral("红布"), QStringLiteral("蓝线"), QStringLiteral("棉纱"), QStringLiteral("涤纶"),
        QStringLiteral("丝绸"), QStringLiteral("麻布"), QStringLiteral("针织布"), QStringLiteral("羊毛"),
        QStringLiteral("弹力布"), QStringLiteral("牛仔布"), QStringLiteral("雪纺"), QStringLiteral("绒布"),
        QStringLiteral("府绸"), QStringLiteral("帆布"), QStringLiteral("色丁"), QStringLiteral("汗布")};
    QRandomGenerator rng(20240309);
    DbTransaction transaction;
    QSqlQuery insert(DbConnection());
    insert.prepare(QStringLiteral("insert into artno (artno, product, color, price, query) values (?, ?, ?, ?, ?)"));
    for (int i = 0; i < Articles; ++i) {
        const QString artno = QStringLiteral("%1%2-%3")
                                  .arg(QChar(u'A' + rng.bounded(26)))
                                  .arg(rng.bounded(1000), 3, 10, QLatin1Char('0'))
                                  .arg(i);
        const QString product = products.at(rng.bounded(products.size()));
        const QString color = QStringLiteral("%1号").arg(rng.bounded(200));
        insert.addBindValue(artno);
        insert.addBindValue(product);
        insert.addBindValue(color);
        insert.addBindValue(rng.bounded(1, 10000) / 100.0);
        insert.addBindValue(frmArtno::SearchCodeOf(artno, product, color));
        insert.exec();
    }
    insert.finish();
    transaction.commit();
}

void typeKey(QWidget *box, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &release);
}

// The picker's statement (in the lists' pinyin order), and the same ordered
// by the bare column, which SQLite serves by walking the artno index.
QString pickerSql()
{
    return QStringLiteral("select id, artno, product, color, price from artno where query like ? order by ")
        + TextOrderBy({QStringLiteral("artno"), QStringLiteral("product"), QStringLiteral("color")});
}
const QString IndexOrderSql = QStringLiteral("select id, artno, product, color, price from artno "
                                             "where query like ? order by artno, product, color");

int bareQuery(const QString &sql, const QString &text)
{
    QSqlQuery q = ExecSql(sql, {QLatin1Char('%') + CleanText(text) + QLatin1Char('%')});
    int rows = 0;
    while (q.next()) {
        for (int i = 0; i < 5; ++i)
            q.value(i);
        ++rows;
    }
    return rows;
}

// The last character of text typed after the rest is already in the box.
void measureKeystroke(frmSearchArtno &picker, const QString &text)
{
    auto *box = picker.findChild<QLineEdit *>(QStringLiteral("txtQuery"));
    auto *grid = picker.findChild<OVGrid *>(QStringLiteral("grd"));
    QList<double> typed, painted, bare, indexOrder;
    int listed = 0;
    int bareRows = 0;
    for (int i = 0; i < Runs; ++i) {
        box->setText(text.chopped(1));
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        typeKey(box, text.back());
        typed << timer.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        painted << timer.nsecsElapsed() / 1e6;
        listed = grid->Rows() - 1;

        timer.restart();
        bareRows = bareQuery(pickerSql(), text);
        bare << timer.nsecsElapsed() / 1e6;

        timer.restart();
        bareQuery(IndexOrderSql, text);
        indexOrder << timer.nsecsElapsed() / 1e6;
    }
    const double key = medianOf(typed);
    const double base = medianOf(bare);
    std::printf("\"%s\" (%5d rows): keystroke %7.2f ms, with repaint %7.2f ms | bare like %6.2f ms (%5d rows)"
                "  ratio %.2f (with repaint %.2f) | ordered by the index %6.2f ms\n",
                qPrintable(text), listed, key, medianOf(painted), base, bareRows, key / base,
                medianOf(painted) / base, medianOf(indexOrder));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ConnectDatabaseAt(dir.filePath(QStringLiteral("ovBill.db")));
    createArticles();

    QWidget owner;
    owner.show();
    frmSearchArtno picker(&owner);
    picker.show();
    QApplication::processEvents();

    std::printf("%d articles; median of %d keystrokes each\n", Articles, Runs);
    // Many rows, a few hundred, a handful.
    for (const QString &text : {QStringLiteral("hb"), QStringLiteral("hb 1"), QStringLiteral("a12"),
                                QStringLiteral("a123-4")})
        measureKeystroke(picker, text);
    CloseDatabase();
    return 0;
}
