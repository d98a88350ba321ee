#pragma once

#include <QStringList>

// The fixed name tables, filled once at login by InitNameLists and read-only
// afterwards. Index i of FieldNames (the value lists of table serv) matches
// index i of FieldCaptions; likewise TableNames (tables that have a record
// window) and TableCaptions.
void InitNameLists();

const QStringList &FieldNames();
const QStringList &FieldCaptions();
const QStringList &TableNames();
const QStringList &TableCaptions();

// Index of the first TableNames entry contained in the lower-cased name
// (frmBill → 0); 0 when none is.
int TableIndexOf(const QString &name);
QString TableNameOf(const QString &name);
QString TableCaptionOf(const QString &name);
