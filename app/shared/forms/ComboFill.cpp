#include "ComboFill.h"

#include "shared/data/DataAccess.h"
#include "shared/data/NameLists.h"

#include "LazyComboFill.h"

#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>
#include <QSignalBlocker>

namespace {

QString fieldFromComboName(const QComboBox *combo)
{
    return combo->objectName().mid(3).toLower();
}

// Adding items to an empty combo chooses item 0 on its own; appending must
// leave the choice and the shown text as they were, and raise nothing.
template<typename Append>
void appendKeepingChoice(QComboBox *combo, Append append)
{
    const QSignalBlocker blocker(combo);
    const int index = combo->currentIndex();
    const QString text = combo->currentText();
    append();
    combo->setCurrentIndex(index);
    if (combo->isEditable())
        combo->setEditText(text);
}

// Tens of thousands of rows go in as one insertion; added one by one, each
// would make the combo and its view react.
void appendIdRows(QComboBox *combo, const QList<QPair<QString, qint32>> &rows)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    if (!model) {
        for (const auto &[text, id] : rows)
            combo->addItem(text, id);
        return;
    }
    QList<QStandardItem *> items;
    items.reserve(rows.size());
    for (const auto &[text, id] : rows) {
        auto *item = new QStandardItem(text);
        item->setData(id, Qt::UserRole);
        items.append(item);
    }
    model->invisibleRootItem()->appendRows(items);
    // One line of text each: the pop-up need not measure every item to lay
    // out the list.
    if (auto *list = qobject_cast<QListView *>(combo->view()))
        list->setUniformItemSizes(true);
}

} // namespace

void FillServCombo(QComboBox *combo, const QString &field)
{
    const QStringList values = ServValues(field.isEmpty() ? fieldFromComboName(combo) : field);
    appendKeepingChoice(combo, [&] { combo->addItems(values); });
}

void FillIdCombo(QComboBox *combo)
{
    LazyComboFill::attach(combo, [](QComboBox *c) {
        const auto rows = IdNameRows(fieldFromComboName(c));
        appendKeepingChoice(c, [&] { appendIdRows(c, rows); });
    });
}

void FillComboNow(QComboBox *combo)
{
    LazyComboFill::fillNow(combo);
}

void FillFieldCaptionCombo(QComboBox *combo, bool selectFirst)
{
    {
        // Adding items to an empty combo would choose item 0 on its own; the
        // choice is made below, and only when asked for.
        const QSignalBlocker blocker(combo);
        const int previous = combo->currentIndex();
        combo->addItems(FieldCaptions());
        combo->setCurrentIndex(selectFirst ? -1 : previous);
    }
    if (selectFirst && combo->count() > 0)
        combo->setCurrentIndex(0);
}
