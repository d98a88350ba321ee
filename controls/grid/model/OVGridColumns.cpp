// OVGrid: the column layout strings and the per-column state.

#include "OVGrid_p.h"

#include "FormatCell.h"

#include <QComboBox>
#include <QLabel>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcColumns, "tovik.grid.columns")

const QString TagText = QStringLiteral("txt");
const QString TagDate = QStringLiteral("txtdate");
const QString TagCombo = QStringLiteral("cbo");
const QString TagPickList = QStringLiteral("cbodata");
const QString TagTick = QStringLiteral("chk");
const QString DateFormat = QStringLiteral("yy-mm-dd");
constexpr int Centred = 4;

} // namespace

bool OVGridPrivate::isOutOfRange(int row, int col) const
{
    return row > grd->rows() - 1 || row < 0 || col > grd->cols() - 1 || col < 0;
}

QString OVGridPrivate::formatCell(int row, int col, const QString &value) const
{
    if (row == 0 || !colSettings.contains(col))
        return value;
    return FormatCell(colSettings.format[col], value);
}

bool OVGridPrivate::report(const char *property, const ListString::Result &result) const
{
    if (result.ok())
        return true;
    qCWarning(lcColumns, "OVGrid %s: %s; the items before it were applied", property,
              qPrintable(result.message()));
    return false;
}

QComboBox *OVGridPrivate::columnCombo(int col)
{
    if (col == 0)
        return cboTemplate;
    auto it = cbo.find(col);
    if (it != cbo.end())
        return it->second;
    auto *combo = new QComboBox(grd);
    combo->setObjectName(QStringLiteral("cbo%1").arg(col));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFont(cboTemplate->font());
    combo->hide();
    cbo.emplace(col, combo);
    return combo;
}

void OVGridPrivate::raiseCombo(QComboBox *combo)
{
    combo->raise();
    pic->raise();
}

void OVGridPrivate::tagChanged(int col)
{
    const QString &tag = colSettings.tag[col];
    if (tag == TagDate) {
        colSettings.format[col] = DateFormat;
        grd->setColAlignment(col, Centred);
        if (allowSort)
            colSettings.specSort[col] = true;
    } else if (tag == TagCombo) {
        raiseCombo(columnCombo(col));
    } else if (tag == TagTick) {
        colSettings.format[col] = TagTick;
        grd->setColAlignment(col, Centred);
    }
}

void OVGridPrivate::formatChanged(int col)
{
    const QString &format = colSettings.format[col];
    if (format == TagTick) {
        grd->setColAlignment(col, Centred);
    } else if (format == DateFormat) {
        grd->setColAlignment(col, Centred);
        if (allowSort)
            colSettings.specSort[col] = true;
    }
}

int OVGridPrivate::cbodataColumn() const
{
    for (int c = 1; c < colSettings.count(); ++c) {
        if (colSettings.tag[c] == TagPickList)
            return c;
    }
    return 0;
}

QString OVGridPrivate::pickListText(qint32 id) const
{
    const int index = cbodata->findData(id);
    return index < 0 ? QString() : cbodata->itemText(index);
}

QHash<qint32, QString> OVGridPrivate::pickListTexts() const
{
    QHash<qint32, QString> texts;
    // Backwards, so that the first entry with an id wins, as in pickListText.
    for (int i = cbodata->count() - 1; i >= 0; --i)
        texts[cbodata->itemData(i).toInt()] = cbodata->itemText(i);
    return texts;
}

void OVGridPrivate::moveInternally(int row, int col)
{
    const bool was = internalMove;
    internalMove = true;
    grd->setRow(row);
    grd->setCol(col);
    internalMove = was;
}

void OVGridPrivate::announceCurrentCell(int oldRow, int oldCol)
{
    Q_EMIT q->AfterRowColChange(oldRow, oldCol, q->Row(), q->Col());
    if (currentRowMode != OVGrid::ovCRNone)
        markCurrentRow(true);
    if (editable)
        showDropButton();
}

// --- The List* properties -------------------------------------------------

QString OVGrid::ListFormat() const
{
    return d->listTexts.value(QStringLiteral("ListFormat"));
}

bool OVGrid::setListFormat(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListFormat"), value);
    const auto result = ListString::applyKeyed(
        value, d->colSettings.count(), [this](int col) { return d->colSettings.format[col]; },
        [this](int col, const QString &format) {
            d->colSettings.format[col] = format;
            d->formatChanged(col);
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
        value, d->colSettings.count(), [this](int col) { return d->colSettings.tag[col]; },
        [this](int col, const QString &tag) {
            d->colSettings.tag[col] = tag;
            d->tagChanged(col);
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
    const auto result = ListString::applyPositional(value, d->colSettings.count(),
                                                    [this](int col, const QString &title) {
        d->grd->setTextMatrix(0, col, title);
        d->colSettings.title[col] = title;
    });
    d->fitRowHeight(0);
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
    const auto result = ListString::applyFlags(value, d->colSettings.count(),
                                               [this](int col) { d->colSettings.specSort[col] = true; });
    return d->report("ListSpecSort", result);
}

QString OVGrid::ListWordWrap() const
{
    return d->listTexts.value(QStringLiteral("ListWordWrap"));
}

bool OVGrid::setListWordWrap(const QString &value)
{
    d->listTexts.insert(QStringLiteral("ListWordWrap"), value);
    const auto result = ListString::applyFlags(value, d->colSettings.count(),
                                               [this](int col) { d->colSettings.wordWrap[col] = true; });
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
        value, d->colSettings.count(), [this](int col) { return d->colSettings.defaultText[col]; },
        [this](int col, const QString &text) {
            d->colSettings.defaultText[col] = text;
            return ListString::Error::None;
        });
    return d->report("ListDefault", result);
}

bool OVGrid::setListCombo(int Col, const QString &value)
{
    if (!d->colSettings.contains(Col))
        return d->report("ListCombo", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    const bool pickList = d->colSettings.tag[Col] == TagPickList;
    QComboBox *target = pickList ? d->cbodata : d->columnCombo(Col);
    target->clear();
    d->raiseCombo(target);
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
    if (!d->colSettings.contains(Col))
        return d->report("ListTagSingle", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    d->colSettings.tag[Col] = value;
    d->grd->updateInputMethod();
    return true;
}

bool OVGrid::setListFormatSingle(int Col, const QString &value)
{
    if (!d->colSettings.contains(Col))
        return d->report("ListFormatSingle", {ListString::Error::OutOfRange, 0, QString::number(Col)});
    d->colSettings.format[Col] = value;
    return true;
}
