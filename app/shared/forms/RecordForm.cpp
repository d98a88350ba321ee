#include "RecordForm.h"

#include "ComboFill.h"
#include "DTPicker.h"
#include "shared/data/DataAccess.h"
#include "FormControls.h"
#include "shared/forms/MessageBox.h"
#include "shared/data/NameLists.h"
#include "RecordWindow.h"
#include "Windows.h"

#include <OVNavigationBar.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>

namespace {

QString nameOf(const QWidget *widget)
{
    const QString name = widget->objectName();
    return name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name;
}

void reportError(const QString &text)
{
    MsgBox(text, MsgButtons::Ok, MsgIcon::Critical);
}

// The record window's member with this exact signature, or an invalid method
// after telling the user which member is missing.
QMetaMethod requireMethod(const QWidget *form, const char *signature, QMetaType::Type result)
{
    if (!form) {
        reportError(QStringLiteral("没有活动的记录窗口。"));
        return QMetaMethod();
    }
    const QMetaObject *mo = form->metaObject();
    const int index = mo->indexOfMethod(signature);
    const QMetaMethod method = index >= 0 ? mo->method(index) : QMetaMethod();
    if (!method.isValid() || (result != QMetaType::Void && method.returnType() != result)) {
        reportError(QStringLiteral("窗口 %1 缺少公共方法 %2。").arg(nameOf(form), QString::fromLatin1(signature)));
        return QMetaMethod();
    }
    return method;
}

template<typename... Args>
bool invoke(QWidget *form, const char *signature, Args &&...args)
{
    const QMetaMethod method = requireMethod(form, signature, QMetaType::Void);
    return method.isValid() && method.invoke(form, Qt::DirectConnection, std::forward<Args>(args)...);
}

bool setGridRows(QWidget *grid, int rows)
{
    if (grid->metaObject()->indexOfProperty("Rows") < 0) {
        reportError(QStringLiteral("表格 %1 没有 Rows 属性。").arg(nameOf(grid)));
        return false;
    }
    return grid->setProperty("Rows", rows);
}

void resetGrid(QWidget *grid, const QString &tag)
{
    // Cut to the title row first, so no old line survives the reset.
    if (!setGridRows(grid, 1) || !TagHas(tag, QStringLiteral("def")))
        return;
    bool ok = false;
    const int rows = TagDefault(tag).toInt(&ok);
    if (!ok || rows < 1) {
        reportError(QStringLiteral("表格 %1 的 Tag「%2」不是行数。").arg(nameOf(grid), tag));
        return;
    }
    setGridRows(grid, rows);
}

// Text boxes and labels share their words: "def", then "cur", then "num",
// the later overwriting the earlier.
template<typename Control>
void resetText(Control *control, const QString &tag, bool clearFirst)
{
    if (clearFirst)
        control->setText(QString());
    if (TagHas(tag, QStringLiteral("def")))
        control->setText(TagDefault(tag));
    if (TagHas(tag, QStringLiteral("cur")))
        control->setText(QStringLiteral("0.00"));
    if (TagHas(tag, QStringLiteral("num")))
        control->setText(QStringLiteral("0"));
}

// Today, or no date when the picker has a check box; ticking that box later
// offers today. One change, not a date and then none.
void resetDate(DTPicker *picker)
{
    if (picker->showCheckBox()) {
        picker->setValue(QVariant());
        picker->dateEdit()->setDate(QDate::currentDate());
    } else {
        picker->setValue(QDate::currentDate());
    }
}

void resetControl(QWidget *control, const QString &type)
{
    const QString tag = TagOf(control);
    if (type == QLatin1String("TextBox")) {
        resetText(static_cast<QLineEdit *>(control), tag, true);
    } else if (type == QLatin1String("ComboBox")) {
        if (!TagHas(tag, QStringLiteral("nodo"))) {
            auto *combo = static_cast<QComboBox *>(control);
            combo->setCurrentIndex(-1);
            combo->clearEditText();
        }
    } else if (type == QLatin1String("Label")) {
        resetText(static_cast<QLabel *>(control), tag, false);
    } else if (type == QLatin1String("OVGrid")) {
        resetGrid(control, tag);
    } else if (type == QLatin1String("CheckBox")) {
        static_cast<QCheckBox *>(control)->setChecked(TagHas(tag, QStringLiteral("true")));
    } else if (type == QLatin1String("DTPicker")) {
        resetDate(static_cast<DTPicker *>(control));
    }
}

struct RecordFormEntry
{
    QString formName;
    RecordFormFactory factory;
};

QHash<QString, RecordFormEntry> &recordForms()
{
    static QHash<QString, RecordFormEntry> forms;
    return forms;
}

} // namespace

void FillFormLists(QWidget *form)
{
    const QWidgetList controls = FormControls(form);
    for (QWidget *control : controls) {
        if (auto *combo = qobject_cast<QComboBox *>(control)) {
            const QString tag = TagOf(combo);
            if (TagHas(tag, QStringLiteral("serv")))
                FillServCombo(combo);
            if (TagHas(tag, QStringLiteral("data")))
                FillIdCombo(combo);
        } else if (auto *picker = qobject_cast<DTPicker *>(control)) {
            resetDate(picker);
        }
    }
}

void ResetFormControls()
{
    ResetFormControls(ActiveForm());
}

void ResetFormControls(QWidget *form)
{
    if (!form) {
        reportError(QStringLiteral("没有活动的记录窗口。"));
        return;
    }
    QWidget *tabIndexZero = FirstInTabOrder(form);
    const QWidgetList controls = FormControls(form);
    for (QWidget *control : controls) {
        const QString type = ControlTypeName(control);
        resetControl(control, type);
        if (control == tabIndexZero && (type == QLatin1String("TextBox") || type == QLatin1String("ComboBox")))
            control->setFocus(Qt::OtherFocusReason);
    }
}

void OnNavOutputID(qint32 id)
{
    OnNavOutputID(ActiveForm(), id);
}

void OnNavOutputID(QWidget *form, qint32 id)
{
    if (id != 0)
        ShowRecordInForm(form, id);
    else
        ClearForm(form);
}

bool ShowRecordInActiveForm(qint32 id)
{
    return ShowRecordInForm(ActiveForm(), id);
}

bool ShowRecordInForm(QWidget *form, qint32 id)
{
    if (!CallOvRst(form, id))
        return false;
    if (TagHas(TagOf(form), QStringLiteral("total")) && !CallOvTotal(form))
        return false;
    return CallOvCmd(form, RecordWindow::CmdStored);
}

bool ClearActiveForm()
{
    return ClearForm(ActiveForm());
}

bool ClearForm(QWidget *form)
{
    if (!form) {
        reportError(QStringLiteral("没有活动的记录窗口。"));
        return false;
    }
    ResetFormControls(form);
    return CallOvCmd(form, RecordWindow::CmdEmpty);
}

void RegisterRecordForm(const QString &table, const QString &formName, RecordFormFactory factory)
{
    recordForms().insert(table, {formName, std::move(factory)});
}

bool OpenRecordForm(qint32 id, const QString &table)
{
    QString name = table;
    if (name.isEmpty()) {
        const QWidget *active = ActiveForm();
        name = TableNameOf(active ? active->objectName() : QString());
    }
    if (!IdExists(name, id)) {
        MsgBox(TableCaptionOf(name) + QStringLiteral("ID：") + QString::number(id) + QStringLiteral(" 已删除！"));
        return false;
    }

    const RecordFormEntry entry = recordForms().value(name);
    QWidget *form = entry.formName.isEmpty() ? nullptr : FindForm(entry.formName);
    if (!form && entry.factory) {
        form = entry.factory();
        if (form)
            form->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!form) {
        reportError(QStringLiteral("表 %1 没有记录窗口。").arg(name));
        return false;
    }
    form->show();
    form->raise();
    form->activateWindow();
    // Activation arrives later from the window system; the window's answer to
    // the bar below must already find itself active.
    SetActiveForm(form);

    bool keep = false;
    if (!CallOvSaveYN(form, &keep))
        return false;
    if (!keep) {
        auto *window = qobject_cast<RecordWindow *>(form);
        auto *nav = window ? window->nav() : form->findChild<OVNavigationBar *>(QStringLiteral("nav"));
        if (!nav) {
            reportError(QStringLiteral("窗口 %1 没有导航条 nav。").arg(nameOf(form)));
            return false;
        }
        nav->Navigate(OVNavigationBar::ovNBQuery, id);
    }
    return true;
}

// Our own record windows are called directly; any other window by name.
bool CallOvRst(QWidget *form, qint32 id)
{
    if (auto *window = qobject_cast<RecordWindow *>(form))
        return window->ovRst(id);
    return invoke(form, "ovRst(int)", Q_ARG(int, id));
}

bool CallOvTotal(QWidget *form)
{
    if (auto *window = qobject_cast<RecordWindow *>(form)) {
        window->ovTotal();
        return true;
    }
    return invoke(form, "ovTotal()");
}

bool CallOvCmd(QWidget *form, int step)
{
    if (auto *window = qobject_cast<RecordWindow *>(form)) {
        window->ovCmd(step);
        return true;
    }
    return invoke(form, "ovCmd(int)", Q_ARG(int, step));
}

bool CallOvSaveYN(QWidget *form, bool *keep)
{
    if (auto *window = qobject_cast<RecordWindow *>(form)) {
        *keep = window->ovSaveYN();
        return true;
    }
    const QMetaMethod method = requireMethod(form, "ovSaveYN()", QMetaType::Bool);
    bool answer = false;
    if (!method.isValid() || !method.invoke(form, Qt::DirectConnection, Q_RETURN_ARG(bool, answer)))
        return false;
    *keep = answer;
    return true;
}

bool CallOvModalForm(QWidget *form, const QString &str)
{
    if (auto *window = qobject_cast<RecordWindow *>(form)) {
        window->ovModalForm(str);
        return true;
    }
    return invoke(form, "ovModalForm(QString)", Q_ARG(QString, str));
}
