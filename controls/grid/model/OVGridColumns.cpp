// OVGrid: the column layout strings.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"

#include <QComboBox>

namespace {

constexpr int Centred = 4;

} // namespace

// --- The List* properties -------------------------------------------------

QString OVGrid::ListFormat() const
{
    return d->listTexts.value(QStringLiteral("ListFormat"));
}

bool OVGrid::setListFormat(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListFormat"), value);
    const auto result = ListString::applyKeyed(
        value, d->columns.count(), [this](int col) { return d->columns.formatText(col); },
        [this](int col, const QString &format) {
            if (d->columns.assignFormat(col, format, d->allowSort))
                d->grd->setColAlignment(col, Centred);
            return ListString::Error::None;
        });
    return d->report("ListFormat", result);
}

QString OVGrid::ListTag() const
{
    return d->listTexts.value(QStringLiteral("ListTag"));
}

bool OVGrid::setListTag(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListTag"), value);
    const auto result = ListString::applyKeyed(
        value, d->columns.count(), [this](int col) { return d->columns.tag(col); },
        [this](int col, const QString &tag) {
            if (d->columns.assignTag(col, tag, d->allowSort))
                d->grd->setColAlignment(col, Centred);
            else if (d->columns.editor(col) == ColumnSet::Editor::Combo)
                d->editing->raiseCombo(d->editing->columnCombo(col));
            return ListString::Error::None;
        });
    d->grd->updateInputMethod();
    return d->report("ListTag", result);
}

QString OVGrid::ListTitle() const
{
    return d->listTexts.value(QStringLiteral("ListTitle"));
}

bool OVGrid::setListTitle(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListTitle"), value);
    const auto result = ListString::applyPositional(value, d->columns.count(),
                                                    [this](int col, const QString &title) {
        d->grd->setTextMatrix(0, col, title);
        d->columns.setTitle(col, title);
    });
    d->fitter->fitRow(0);
    return d->report("ListTitle", result);
}

QString OVGrid::ListWidth() const
{
    return d->listTexts.value(QStringLiteral("ListWidth"));
}

bool OVGrid::setListWidth(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListWidth"), value);
    const auto result = ListString::applyPositionalNumbers(value, d->grd->cols(), [this](int col, int width) {
        d->grd->setColWidth(col, width);
    });
    return d->report("ListWidth", result);
}

QString OVGrid::ListAlignment() const
{
    return d->listTexts.value(QStringLiteral("ListAlignment"));
}

bool OVGrid::setListAlignment(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListAlignment"), value);
    const auto result = ListString::applyKeyed(
        value, d->grd->cols(), [this](int col) { return QString::number(d->grd->colAlignment(col)); },
        [this](int col, const QString &text) {
            const auto alignment = ListString::number(text);
            if (!alignment)
                return ListString::Error::NotANumber;
            if (*alignment < 0 || *alignment > 9)
                return ListString::Error::OutOfRange;
            d->grd->setColAlignment(col, *alignment);
            return ListString::Error::None;
        });
    return d->report("ListAlignment", result);
}

QString OVGrid::ListMerge() const
{
    return d->listTexts.value(QStringLiteral("ListMerge"));
}

bool OVGrid::setListMerge(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListMerge"), value);
    const auto result = ListString::applyFlags(value, d->grd->cols(),
                                               [this](int col) { d->grd->setMergeCol(col, true); });
    return d->report("ListMerge", result);
}

QString OVGrid::ListSpecSort() const
{
    return d->listTexts.value(QStringLiteral("ListSpecSort"));
}

bool OVGrid::setListSpecSort(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListSpecSort"), value);
    const auto result = ListString::applyFlags(value, d->columns.count(),
                                               [this](int col) { d->columns.setSpecialSort(col); });
    return d->report("ListSpecSort", result);
}

QString OVGrid::ListWordWrap() const
{
    return d->listTexts.value(QStringLiteral("ListWordWrap"));
}

bool OVGrid::setListWordWrap(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListWordWrap"), value);
    const auto result = ListString::applyFlags(value, d->columns.count(),
                                               [this](int col) { d->columns.setWordWrap(col); });
    return d->report("ListWordWrap", result);
}

QString OVGrid::ListDefault() const
{
    return d->listTexts.value(QStringLiteral("ListDefault"));
}

bool OVGrid::setListDefault(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListDefault"), value);
    const auto result = ListString::applyKeyed(
        value, d->columns.count(), [this](int col) { return d->columns.defaultText(col); },
        [this](int col, const QString &text) {
            d->columns.setDefaultText(col, text);
            return ListString::Error::None;
        });
    return d->report("ListDefault", result);
}

bool OVGrid::setListCombo(int Col, const QString &value)
{
    if (!d->columns.contains(Col))
        return d->report("ListCombo", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    const bool pickList = d->columns.editor(Col) == ColumnSet::Editor::PickList;
    QComboBox *target = pickList ? d->editing->pickList() : d->editing->columnCombo(Col);
    target->clear();
    d->editing->raiseCombo(target);
    const QStringList entries = ListString::items(value);
    for (int i = 0; i < entries.size(); ++i) {
        const QString &entry = entries.at(i);
        if (!pickList) {
            target->addItem(entry);
            continue;
        }
        const qsizetype semicolon = entry.indexOf(u';');
        const auto id = semicolon < 0 ? std::nullopt : ListString::number(QStringView(entry).first(semicolon));
        if (!id)
            return d->report("ListCombo", {ListString::Error::NotANumber, i, entry});
        target->addItem(entry.mid(semicolon + 1), *id);
    }
    return true;
}

bool OVGrid::setListTagSingle(int Col, const QString &value)
{
    if (!d->columns.contains(Col))
        return d->report("ListTagSingle", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    d->columns.setTag(Col, value);
    d->grd->updateInputMethod();
    return true;
}

bool OVGrid::setListFormatSingle(int Col, const QString &value)
{
    if (!d->columns.contains(Col))
        return d->report("ListFormatSingle", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    d->columns.setFormat(Col, value);
    return true;
}
