#pragma once

class QFont;
class QPaintDevice;
class QPainter;
class SheetLayout;
class Worksheet;
struct CellFont;
struct SheetPage;

// Paints one page of a sheet: fills, texts in their fonts and alignment
// (overflowing into empty neighbours, wrapped or shrunk as styled), and
// borders. The painter's unit is one point of the sheet at 100 %, its
// origin where the page's top-left cell goes.
void PaintSheetPage(QPainter &painter, const Worksheet &sheet, const SheetLayout &layout, const SheetPage &page);

// The font of a cell for painting on device in point units: the named
// family first, then the Chinese fonts that may stand in for it.
QFont SheetFont(const CellFont &font, const QPaintDevice *device);
