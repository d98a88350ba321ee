#include "MenuWindows.h"

#include "bill/frmBill.h"
#include "frmControl.h"
#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "masterdata/frmServ.h"
#include "shared/forms/RecordForm.h"

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
    // The query window opens bills through this.
    RegisterRecordForm(QStringLiteral("bill"), QStringLiteral("frmBill"), [] { return new frmBill; });
}
