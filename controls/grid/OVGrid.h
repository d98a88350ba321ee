#pragma once

#include "ovgrid_export.h"
#include "OVCurrency.h"
#include "OVRecordSource.h"

#include <QFont>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

class QSqlQuery;
class OVGridPrivate;

// The data-entry grid every list and entry window stands on.
//
// Row 0 is the title row and column 0 the row-number column; data rows and
// columns start at 1. Hosts lay the grid out with the List* column
// layout strings, fill it row by row (AddItem) or from a query
// (BindRst), read results through Aggregate and Cell, and answer the events
// to validate and store what the user typed. Sizes are in twips (1440 to the
// inch), colours are 24-bit numbers in blue-green-red order (255 is red).
//
// The editors are named as hosts and their tests look for them: txt, the
// text editor; cbo3, the drop-down of column 3; cbodata, the pick-list; cmd,
// the drop button. The other child parts are named "ovgrid_" and their part
// name (ovgrid_grd, the table; ovgrid_lbl, ovgrid_msg, ovgrid_pic), so that
// they never shadow a host window's own controls when it looks them up.
//
// Every member is reachable by name through the meta-object system; events
// with a Cancel or KeyCode argument pass it by reference, so their handlers
// must be connected directly.
class OVGRID_EXPORT OVGrid : public QWidget
{
    Q_OBJECT

    Q_PROPERTY(QString EditText READ EditText WRITE setEditText)
    Q_PROPERTY(CurrentRowModes CurrentRowMode READ CurrentRowMode WRITE setCurrentRowMode)
    Q_PROPERTY(bool AllowRowDelete READ AllowRowDelete WRITE setAllowRowDelete)
    Q_PROPERTY(bool AllowRowNo READ AllowRowNo WRITE setAllowRowNo)
    Q_PROPERTY(int MouseCol READ MouseCol)
    Q_PROPERTY(int MouseRow READ MouseRow)
    Q_PROPERTY(bool Redraw READ Redraw WRITE setRedraw)
    Q_PROPERTY(QString TipText READ TipText WRITE setTipText)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int Col READ Col WRITE setCol)
    Q_PROPERTY(int Row READ Row WRITE setRow)
    Q_PROPERTY(int Cols READ Cols WRITE setCols)
    Q_PROPERTY(int Rows READ Rows WRITE setRows)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(bool AllowAlternate READ AllowAlternate WRITE setAllowAlternate)
    Q_PROPERTY(bool AllowSort READ AllowSort WRITE setAllowSort)
    Q_PROPERTY(bool Editable READ Editable WRITE setEditable)
    Q_PROPERTY(int MergeCells READ MergeCells WRITE setMergeCells)
    Q_PROPERTY(int RowHeightMin READ RowHeightMin WRITE setRowHeightMin)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    // The column layout strings are written, not read back; the getters give
    // the text last assigned, for inspection only.
    Q_PROPERTY(QString ListFormat READ ListFormat WRITE setListFormat)
    Q_PROPERTY(QString ListTag READ ListTag WRITE setListTag)
    Q_PROPERTY(QString ListTitle READ ListTitle WRITE setListTitle)
    Q_PROPERTY(QString ListWidth READ ListWidth WRITE setListWidth)
    Q_PROPERTY(QString ListAlignment READ ListAlignment WRITE setListAlignment)
    Q_PROPERTY(QString ListMerge READ ListMerge WRITE setListMerge)
    Q_PROPERTY(QString ListSpecSort READ ListSpecSort WRITE setListSpecSort)
    Q_PROPERTY(QString ListWordWrap READ ListWordWrap WRITE setListWordWrap)
    Q_PROPERTY(QString ListDefault READ ListDefault WRITE setListDefault)

public:
    // Of type int, so that any number a host or the property system passes
    // is a value (an unknown one is ignored) rather than undefined behaviour.
    enum CellPropertySettings : int {
        ovCPText = 0,
        ovCPBackColor = 1,
        ovcpforecolor = 2,
        ovCPFontBold = 3,
        ovCPValue = 4,
        ovCPClip = 5,
    };
    Q_ENUM(CellPropertySettings)

    enum SubTotalSettings : int {
        ovSTSum = 0,
        ovSTCount = 1,
        ovSTAverage = 2,
        ovSTMax = 3,
        ovSTMin = 4,
        ovSTColXSum = 5,
    };
    Q_ENUM(SubTotalSettings)

    enum CurrentRowModes : int {
        ovCRNone = 0,
        ovCRFontBold = 1,
        ovCRForeColor = 2,
    };
    Q_ENUM(CurrentRowModes)

    // The most rows Rows accepts, title row included. A load (BindRst) adds
    // at most MaxRows records, and neither it nor AddItem lets a grid grow
    // past MaxLoadedRows: the title row and MaxRows records.
    static constexpr int MaxRows = 58000;
    static constexpr int MaxLoadedRows = MaxRows + 1;
    // The most columns Cols accepts, column 0 included; larger values, from
    // a setter or a saved property bag, are ignored or cut to it. Lists and
    // entry forms use a few dozen; more would only cost memory per row.
    static constexpr int MaxCols = 256;

    // The design-time settings saved with a host window: names and values in
    // the order they are written and read.
    using PropertyBag = QList<QPair<QString, QVariant>>;

    explicit OVGrid(QWidget *parent = nullptr);
    ~OVGrid() override;

    // Properties.
    QString EditText() const;
    void setEditText(const QString &value);
    CurrentRowModes CurrentRowMode() const;
    void setCurrentRowMode(CurrentRowModes value);
    bool AllowRowDelete() const;
    void setAllowRowDelete(bool value);
    bool AllowRowNo() const;
    void setAllowRowNo(bool value);
    int MouseCol() const;
    int MouseRow() const;
    bool Redraw() const;
    void setRedraw(bool value);
    QString TipText() const;
    void setTipText(const QString &value);
    QString Text() const;
    void setText(const QString &value);
    int Col() const;
    void setCol(int value);
    int Row() const;
    void setRow(int value);
    int Cols() const;
    void setCols(int value);
    int Rows() const;
    void setRows(int value);
    // Only the grid takes the font; the editors keep the one they were
    // loaded with. (QWidget's own "font" property is a different one.)
    QFont Font() const;
    void setFont(const QFont &value);
    bool AllowAlternate() const;
    void setAllowAlternate(bool value);
    bool AllowSort() const;
    void setAllowSort(bool value);
    bool Editable() const;
    void setEditable(bool value);
    int MergeCells() const;
    void setMergeCells(int value);
    int RowHeightMin() const;
    void setRowHeightMin(int value);
    bool WordWrap() const;
    void setWordWrap(bool value);

    // Column layout strings: items separated by "|". A malformed item
    // (not a number, or a column outside the grid) stops the assignment with
    // a warning after the earlier items took effect; the setter then returns
    // false.
    QString ListFormat() const;
    bool setListFormat(const QString &value);
    QString ListTag() const;
    bool setListTag(const QString &value);
    QString ListTitle() const;
    bool setListTitle(const QString &value);
    QString ListWidth() const;
    bool setListWidth(const QString &value);
    QString ListAlignment() const;
    bool setListAlignment(const QString &value);
    QString ListMerge() const;
    bool setListMerge(const QString &value);
    QString ListSpecSort() const;
    bool setListSpecSort(const QString &value);
    QString ListWordWrap() const;
    bool setListWordWrap(const QString &value);
    QString ListDefault() const;
    bool setListDefault(const QString &value);

    // Properties with arguments.
    Q_INVOKABLE QString TextMatrix(int Row, int Col) const;
    Q_INVOKABLE void setTextMatrix(int Row, int Col, const QString &value);
    Q_INVOKABLE OVCurrency Aggregate(OVGrid::SubTotalSettings setting, int Row1 = 0, int Col1 = 0,
                                     int Row2 = 0, int Col2 = 0) const;
    Q_INVOKABLE QVariant Cell(OVGrid::CellPropertySettings setting, int Row1 = 0, int Col1 = 0,
                              int Row2 = 0, int Col2 = 0) const;
    Q_INVOKABLE void setCell(OVGrid::CellPropertySettings setting, int Row1, int Col1, int Row2,
                             int Col2, const QVariant &value);
    Q_INVOKABLE void setCell(OVGrid::CellPropertySettings setting, int Row1, int Col1,
                             const QVariant &value);
    Q_INVOKABLE void setCell(OVGrid::CellPropertySettings setting, const QVariant &value);
    Q_INVOKABLE bool setListCombo(int Col, const QString &value);
    Q_INVOKABLE bool setListTagSingle(int Col, const QString &value);
    Q_INVOKABLE bool setListFormatSingle(int Col, const QString &value);

    // Methods.
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void CopyRow(int Row1, int Row2, int Col1 = 0, int Col2 = 0);
    Q_INVOKABLE void AddItem(const QString &Item, int Row = 0, bool SetRow = false);
    Q_INVOKABLE void RemoveItem(int Row = 0);
    Q_INVOKABLE void RemoveRowOne(int Row = 1);
    // Appends one row per record of an executed forward-only query, read
    // from its current position to its end.
    Q_INVOKABLE void BindRst(QSqlQuery &rst);
    void BindRst(OVRecordSource &rst);
    // Whether the last load stopped before its query's end because a read
    // failed (the rows read stay, and the message panel says so). Reads
    // what a long load left for later first.
    Q_INVOKABLE bool LoadBrokenOff() const;
    Q_INVOKABLE void AutoLastRow();
    Q_INVOKABLE void RowVisible(int Row = 0);
    Q_INVOKABLE void UpdateRowNo(int Row = 1);
    Q_INVOKABLE void AddCboList(int Col, const QString &NewValue);
    Q_INVOKABLE void Message(int setting, const QString &msging = QString());
    // Appends str, the current row and column to log.txt in logFolder();
    // false (with a warning) when the file cannot be written.
    Q_INVOKABLE bool Log(const QString &str);
    // The folder of every grid's log, set once by the host (the program
    // names its data folder); unset, the application's data location.
    static void setLogFolder(const QString &folder);
    static QString logFolder();
    Q_INVOKABLE void ShowAbout();

    // Design-time settings, saved with the host window.
    void ReadProperties(const PropertyBag &bag);
    PropertyBag WriteProperties() const;
    bool isPropertyBagDirty() const;

Q_SIGNALS:
    void AfterEdit(int Row, int Col);
    void BeforeEdit(int Row, int Col, bool &Cancel);
    void BeforeSort(bool &Cancel);
    void AfterRowDelete();
    void BeforeRowDelete(int Row, bool &Cancel);
    void Click();
    void DblClick();
    void SwitchColType(int Row, int Col);
    void KeyDown(short &KeyCode, short Shift);
    void KeyDownEdit(int Row, int Col, short &KeyCode, short Shift);
    void AfterRowColChange(int OldRow, int OldCol, int NewRow, int NewCol);
    void ValidateEdit(int Row, int Col, bool &Cancel);
    void ModalForm(int Row, int Col, bool &Cancel);
    void MouseMove(short Button, short Shift, float x, float y);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class OVGridPrivate;
    std::unique_ptr<OVGridPrivate> d;
};
