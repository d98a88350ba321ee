#include "MenuWindows.h"

#include "frmControl.h"

#include "admin/BackupCommand.h"
#include "admin/frmAbout.h"
#include "admin/frmPassword.h"
#include "bill/frmBill.h"
#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "masterdata/frmServ.h"
#include "query/frmQuery.h"
#include "shared/forms/RecordForm.h"

namespace {

// A modal window over the menu, gone when closed.
template<typename Dialog>
void showModal(frmControl *menu)
{
    Dialog dialog(menu);
    dialog.exec();
}

} // namespace

void ConnectMenuWindows(frmControl *menu)
{
    menu->setWorkingWindow(QStringLiteral("cmdBill"), QStringLiteral("frmBill"),
                           [] { return new frmBill; });
    menu->setWorkingWindow(QStringLiteral("cmdClient"), QStringLiteral("frmClient"),
                           [] { return new frmClient; });
    menu->setWorkingWindow(QStringLiteral("cmdArtno"), QStringLiteral("frmArtno"),
                           [] { return new frmArtno; });
    menu->setWorkingWindow(QStringLiteral("cmdServ"), QStringLiteral("frmServ"),
                           [] { return new frmServ; });
    menu->setWorkingWindow(QStringLiteral("cmdQuery"), QStringLiteral("frmQuery"),
                           [] { return new frmQuery; });
    // The query window opens bills through this.
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [] { return new frmBill; });
    menu->setAction(QStringLiteral("cmdPassword"), [menu] { showModal<frmPassword>(menu); });
    menu->setAction(QStringLiteral("cmdCopy"), [] { RunBackupCommand(); });
    menu->setAction(QStringLiteral("cmdReg"), [menu] { showModal<frmAbout>(menu); });
}
