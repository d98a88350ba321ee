#pragma once

// OVGrid's private state. The control is made of parts, each with its own
// job: the view (view/), the columns' settings (model/ColumnSet), the
// editors (editing/GridEditing) and the row-height fitting
// (appearance/RowFitter). OVGridPrivate owns them and coordinates what
// spans several: cell moves, the current-row marking, sorting by a title
// and loading a record set. The public members are defined in the folder
// that says what they do: model/ (columns, layout strings, cells), rows/
// (row operations, aggregates, record sets), editing/ (editors, keys,
// events, sorting) and appearance/ (layout, colours, persistence, messages).

#include "OVGrid.h"
#include "model/ColumnSet.h"
#include "model/GridModel.h"
#include "model/ListString.h"
#include "view/GridView.h"

#include <QHash>

#include <memory>

class GridEditing;
class LoadRun;
class QLabel;
class RecordReader;
class RowFitter;

class OVGridPrivate
{
public:
    explicit OVGridPrivate(OVGrid *q);
    ~OVGridPrivate();

    OVGrid *const q;
    // Makes the parts; once the control holds this state.
    void init();

    // The parts, in the order they are made. The view, the measuring label
    // and the message panel are children of the control; the editors and the
    // strip picture children of the view.
    GridView *grd = nullptr;              // the underlying grid
    ColumnSet columns;                    // per-column settings, sized to Cols
    std::unique_ptr<GridEditing> editing; // the editors and their events
    std::unique_ptr<RowFitter> fitter;    // row heights fitted to wrapped text
    QLabel *pic = nullptr;                // strip picture
    QLabel *msg = nullptr;                // message panel

    GridModel *model() const { return grd->gridModel(); }

    // The List* texts last assigned, for their getters.
    QHash<QString, QString> listTexts;

    // Control-wide state.
    bool allowAlternate = true;
    bool allowSort = false;
    bool allowRowDelete = false;
    bool allowRowNo = true;
    OVGrid::CurrentRowModes currentRowMode = OVGrid::ovCRNone;
    bool internalMove = false;
    int prevRow = 0;
    int prevCol = 0;
    int sortCol = 0;
    bool sortAscending = false;
    bool customBackColour = false;
    bool dirty = false;

    void markDirty() { dirty = true; }
    // Warns about a faulty layout string; false when there was one.
    bool report(const char *property, const ListString::Result &result) const;

    // Moves the current cell without any cell event reaching the host.
    void moveInternally(int row, int col);
    // After a change that moved the current cell by itself: AfterRowColChange
    // from (oldRow, oldCol), the current-row marking and the drop button.
    void announceCurrentCell(int oldRow, int oldCol);
    void markCurrentRow(bool forced);
    void paintAlternateRows(int fromRow, int fromCol);
    // Sorts by the current column, as a click on its title does.
    void sortByColumn();
    void bindRecords(std::unique_ptr<RecordReader> rst);
    // A load whose last records are still to be read (see GridModel).
    std::unique_ptr<LoadRun> load;
    // The last load stopped at a failed read.
    bool loadBrokenOff = false;
    // Writes a line on the message panel: it is cleared, then gets a line
    // break, two spaces and the text.
    void printMessage(const QString &text);

private:
    // Reads up to `records` records of a load into rows before row `before`.
    void readRecords(LoadRun &run, int records, int before);
    void readRestOfLoad();
    // Marks rows fromRow … endRow − 1 for fitting to wrapped text.
    void fitLoadedRows(int fromRow, int endRow);
    // The load's last message: how many rows, or why not all.
    void showOutcome(const LoadRun &run);

    // The grid's cell moves, in the host's terms.
    void onLeaveCell();
    void onRowColChange();
    void onEnterCell();
};
