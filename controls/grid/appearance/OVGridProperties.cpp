// OVGrid: the design-time settings a host window saves with itself.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"

#include <QApplication>

namespace {

QVariant bagValue(const OVGrid::PropertyBag &bag, const QString &name, const QVariant &fallback)
{
    for (const auto &[key, value] : bag) {
        if (key == name)
            return value;
    }
    return fallback;
}

// The font a host window's controls start with.
QFont ambientFont(const QWidget *control)
{
    return control->parentWidget() ? control->parentWidget()->font() : QApplication::font();
}

} // namespace

void OVGrid::ReadProperties(const PropertyBag &bag)
{
    const auto value = [&bag](const char *name, const QVariant &fallback) {
        return bagValue(bag, QLatin1String(name), fallback);
    };
    const QFont font = value("Font", ambientFont(this)).value<QFont>();
    d->grd->setGridFont(font);
    // The editors and the measuring label keep the font the control was
    // loaded with.
    d->fitter->setFont(font);
    d->editing->setFont(font);

    d->grd->setCols(std::clamp(value("Cols", 2).toInt(), 1, MaxCols));
    d->grd->setRows(std::clamp(value("Rows", 1).toInt(), 1, MaxRows));
    d->allowAlternate = value("AllowAlternate", true).toBool();
    d->editing->setEditable(value("Editable", false).toBool());
    d->allowSort = value("AllowSort", false).toBool();
    d->allowRowDelete = value("AllowRowDelete", false).toBool();
    d->allowRowNo = value("AllowRowNo", true).toBool();
    d->currentRowMode = CurrentRowModes(std::clamp(value("CurrentRowMode", 0).toInt(), 0, 2));
    d->grd->setMergeCells(value("MergeCells", 0).toInt());
    d->grd->setRowHeightMin(value("RowHeightMin", 0).toInt());
    d->grd->setWordWrap(value("WordWrap", false).toBool());

    d->columns.resize(d->grd->cols());
    for (int c = 0; c < d->grd->cols(); ++c)
        d->grd->setFixedAlignment(c, 4);
    d->grd->setColAlignment(0, 4);

    if (d->allowRowNo)
        UpdateRowNo(1);
    d->model()->setAlternate(d->allowAlternate);
    if (d->allowAlternate)
        d->paintAlternateRows(1, 1);
    if (d->currentRowMode != ovCRNone)
        d->markCurrentRow(true);
    d->dirty = false;
}

OVGrid::PropertyBag OVGrid::WriteProperties() const
{
    return {
        {QStringLiteral("Font"), d->grd->font()},
        {QStringLiteral("Cols"), d->grd->cols()},
        {QStringLiteral("Rows"), d->grd->rows()},
        {QStringLiteral("AllowAlternate"), d->allowAlternate},
        {QStringLiteral("Editable"), d->editing->isEditable()},
        {QStringLiteral("AllowSort"), d->allowSort},
        {QStringLiteral("AllowRowDelete"), d->allowRowDelete},
        {QStringLiteral("AllowRowNo"), d->allowRowNo},
        {QStringLiteral("CurrentRowMode"), int(d->currentRowMode)},
        {QStringLiteral("MergeCells"), d->grd->mergeCells()},
        {QStringLiteral("RowHeightMin"), d->grd->rowHeightMin()},
        {QStringLiteral("WordWrap"), d->grd->wordWrap()},
    };
}

bool OVGrid::isPropertyBagDirty() const
{
    return d->dirty;
}
