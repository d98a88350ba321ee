#include "frmLoad.h"

#include "shared/base/AppPaths.h"
#include "shared/data/Database.h"
#include "frmControl.h"
#include "MenuWindows.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/data/NameLists.h"
#include "shared/data/Password.h"
#include "shared/forms/MessageBox.h"
#include "shared/forms/PasswordBox.h"

#include <OVGrid.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

bool CheckPassword(const QString &typed)
{
    return PasswordMatches(LookupValue(QStringLiteral("password"), QStringLiteral("tblinfo")), typed);
}

frmLoad::frmLoad(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(QStringLiteral("密码："), this))
    , m_ok(new QPushButton(QStringLiteral("登录"), this))
    , m_password(new PasswordBox(m_ok, PasswordBox::Keys::AsTyped, this))
{
    setObjectName(QStringLiteral("frmLoad"));
    setWindowTitle(QStringLiteral("登录"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_label->setObjectName(QStringLiteral("Label3"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    // A plain window's button takes Enter only when asked to.
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &frmLoad::login);

    auto *row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_password, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_ok, 0, Qt::AlignRight);
    setMinimumWidth(280);
    m_password->setFocus();
}

bool frmLoad::load()
{
    InitSettingsFolder();
    // The grids' log lands beside the data it concerns.
    OVGrid::setLogFolder(DataFolder());
    return RunGuarded([] { ConnectDatabase(); });
}

void frmLoad::login()
{
    bool matches = false;
    if (!RunGuarded([&] { matches = CheckPassword(m_password->text()); }))
        return;
    if (!matches) {
        m_password->clear();
        m_password->setFocus();
        return;
    }
    InitNameLists();
    auto *menu = new frmControl;
    ConnectMenuWindows(menu);
    menu->show();
    close();
}
