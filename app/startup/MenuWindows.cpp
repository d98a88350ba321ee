#include "MenuWindows.h"

#include "frmControl.h"
#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "masterdata/frmServ.h"
#include "query/frmQuery.h"

void ConnectMenuWindows(frmControl *menu)
{
    menu->setWorkingWindow(QStringLiteral("cmdClient"), QStringLiteral("frmClient"),
                           [] { return new frmClient; });
    menu->setWorkingWindow(QStringLiteral("cmdArtno"), QStringLiteral("frmArtno"),
                           [] { return new frmArtno; });
    menu->setWorkingWindow(QStringLiteral("cmdServ"), QStringLiteral("frmServ"),
                           [] { return new frmServ; });
    menu->setWorkingWindow(QStringLiteral("cmdQuery"), QStringLiteral("frmQuery"),
                           [] { return new frmQuery; });
}
