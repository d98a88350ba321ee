#include "frmPassword.h"

#include "shared/forms/MessageBox.h"
#include "shared/base/TextRules.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/data/Password.h"
#include "shared/forms/PasswordBox.h"

#include <QHBoxLayout>
#include <QPushButton>

void StorePassword(const QString &typed)
{
    const QString hash = HashPassword(CleanText(typed));
    DbTransaction transaction;
    const QSqlQuery update = ExecSql(QStringLiteral("update tblinfo set password=?"), {hash});
    if (update.numRowsAffected() == 0)
        ExecSql(QStringLiteral("insert into tblinfo (password) values (?)"), {hash});
    transaction.commit();
}

frmPassword::frmPassword(QWidget *parent)
    : QDialog(parent)
    , m_ok(new QPushButton(QStringLiteral("保存"), this))
    , m_password(new PasswordBox(m_ok, PasswordBox::Keys::Filtered, this))
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("密码"));
    setModal(true);

    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &frmPassword::save);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_password, 1);
    layout->addWidget(m_ok);
    setMinimumWidth(280);
    m_password->setFocus();
}

void frmPassword::save()
{
    // On a database error the message has been shown and the typed password
    // stays in the box for another try.
    if (!RunGuarded([this] { StorePassword(m_password->text()); }))
        return;
    MsgBox(QStringLiteral("OK"));
    accept();
}
