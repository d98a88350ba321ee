// Pictures of the working windows as a user sees them, on demo books made
// for the purpose (about 20 s):
//   xvfb-run -a build/tools/take_screenshots doc/screenshots
// Run it under a real X server (xvfb-run) for the desktop's fonts and
// decorations; QT_QPA_PLATFORM=offscreen works too.

#include "bill/frmBill.h"
#include "demodata/DemoData.h"
#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "masterdata/frmServ.h"
#include "query/frmQuery.h"
#include "shared/forms/MessageBox.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/data/NameLists.h"
#include "shared/forms/DTPicker.h"
#include "startup/Application.h"

#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

namespace {

bool save(QWidget *window, const QString &folder, const QString &name)
{
    window->show();
    window->activateWindow();
    (void)QTest::qWaitForWindowExposed(window);
    QTest::qWait(200); // lazily fitted rows and the first paint
    const QString path = QDir(folder).filePath(name);
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "take_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The id of a bill with about ten lines, so its picture shows a full sheet.
int billWithLines(int lines)
{
    QSqlQuery q = ExecSql(QStringLiteral("select pid from billsub group by pid having count(*) = ? "
                                         "order by pid desc limit 1"),
                          {lines});
    return q.next() ? q.value(0).toInt() : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitApplication(app);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: take_screenshots <folder>\n");
        return 2;
    }
    const QString folder = args.at(1);
    QDir().mkpath(folder);
    QTemporaryDir data;
    qputenv("TOVIK_DATA_DIR", data.path().toUtf8());
    SetMsgHandler([](const QString &text, MsgButtons, MsgIcon) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return MsgAnswer::Ok;
    });
    try {
        MakeDemoData(QDir(data.path()).filePath(QStringLiteral("ovBill.db")), DemoDataSize{});
        InitNameLists();
    } catch (const DbError &e) {
        std::fprintf(stderr, "take_screenshots: %s\n", qPrintable(e.text()));
        return 1;
    }

    bool ok = true;
    {
        auto bill = std::make_unique<frmBill>();
        ok &= save(bill.get(), folder, QStringLiteral("frmBill-empty.png"));
        bill->nav()->Navigate(OVNavigationBar::ovNBQuery, billWithLines(10));
        ok &= save(bill.get(), folder, QStringLiteral("frmBill-10-lines.png"));
    }
    ok &= save(std::make_unique<frmClient>().get(), folder, QStringLiteral("frmClient.png"));
    ok &= save(std::make_unique<frmArtno>().get(), folder, QStringLiteral("frmArtno.png"));
    ok &= save(std::make_unique<frmServ>().get(), folder, QStringLiteral("frmServ.png"));
    {
        // One month of bills, as a user asks for it.
        auto query = std::make_unique<frmQuery>();
        query->findChild<DTPicker *>(QStringLiteral("dtpDate1"))->setValue(QDate(2025, 3, 1));
        query->findChild<DTPicker *>(QStringLiteral("dtpDate2"))->setValue(QDate(2025, 3, 31));
        query->show();
        query->findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
        ok &= save(query.get(), folder, QStringLiteral("frmQuery-month.png"));
    }
    return ok ? 0 : 1;
}
