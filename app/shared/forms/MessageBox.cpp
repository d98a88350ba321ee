#include "MessageBox.h"

#include "shared/base/AppPaths.h"
#include "shared/data/DbError.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MsgHandler &currentHandler()
{
    static MsgHandler handler;
    return handler;
}

QMessageBox::StandardButtons toStandard(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer showQMessageBox(const QString &text, MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(toIcon(icon), QApplication::applicationDisplayName(), text,
                    toStandard(buttons), QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return MsgAnswer::Ok;
    }
}

} // namespace

MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon)
{
    const MsgHandler &handler = currentHandler();
    return handler ? handler(text, buttons, icon) : showQMessageBox(text, buttons, icon);
}

MsgHandler SetMsgHandler(MsgHandler handler)
{
    MsgHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

void ShowRowMessage(int row, const QString &text)
{
    MsgBox(QStringLiteral("第 ") + QString::number(row) + QStringLiteral(" 行：\r\n\r\n") + text,
           MsgButtons::Ok, MsgIcon::None);
}

bool RunGuarded(const std::function<void()> &op)
{
    try {
        op();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.text(), MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }
}

QString ReadSettingShown(const QString &key, const QString &defaultValue)
{
    QString error;
    const QString value = ReadSetting(key, defaultValue, &error);
    if (!error.isEmpty())
        MsgBox(error, MsgButtons::Ok, MsgIcon::Warning);
    return value;
}
