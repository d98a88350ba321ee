#include "frmControl.h"

#include "shared/forms/Windows.h"

#include <QGridLayout>
#include <QPushButton>

namespace {

struct MenuButton
{
    const char *name;
    const char *caption;
};

constexpr MenuButton Buttons[] = {
    {"cmdBill", "Tovik"},      {"cmdClient", "客户"}, {"cmdArtno", "编号"},
    {"cmdServ", "可选项"},     {"cmdQuery", "查询"},  {"cmdCopy", "备份"},
    {"cmdPassword", "密码"},   {"cmdReg", "关于"},
};

} // namespace

frmControl::frmControl(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmControl"));
    setWindowTitle(QStringLiteral("Orvane Tovik 251124"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QGridLayout(this);
    int index = 0;
    for (const MenuButton &entry : Buttons) {
        auto *b = new QPushButton(QString::fromUtf8(entry.caption), this);
        const QString name = QString::fromLatin1(entry.name);
        b->setObjectName(name);
        b->setAutoDefault(true);
        b->setMinimumSize(110, 44);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, name] {
            const auto action = m_actions.value(name);
            if (action)
                action();
        });
        layout->addWidget(b, index / 2, index % 2);
        ++index;
    }
}

void frmControl::setWorkingWindow(const QString &buttonName, const QString &formName, WindowFactory factory)
{
    setAction(buttonName, [this, formName, factory = std::move(factory)] {
        showWorkingWindow(formName, factory);
    });
}

void frmControl::setAction(const QString &buttonName, std::function<void()> action)
{
    if (QPushButton *b = button(buttonName)) {
        b->setEnabled(bool(action));
        m_actions.insert(buttonName, std::move(action));
    }
}

QPushButton *frmControl::button(const QString &name) const
{
    return findChild<QPushButton *>(name, Qt::FindDirectChildrenOnly);
}

void frmControl::showWorkingWindow(const QString &formName, const WindowFactory &factory)
{
    QWidget *window = FindForm(formName);
    if (!window) {
        window = factory();
        if (!window)
            return;
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    hide();
}
