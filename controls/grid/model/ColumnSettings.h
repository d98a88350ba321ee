#pragma once

#include <QString>

#include <vector>

// What the host said about each column, indexed by column 0 … Cols − 1:
// display format, editor tag, title (kept so a sort mark can be taken off
// again), default text, and the word-wrap and special-sort flags.
struct ColumnSettings
{
    std::vector<QString> format;
    std::vector<QString> tag;
    std::vector<QString> title;
    std::vector<QString> defaultText;
    std::vector<bool> wordWrap;
    std::vector<bool> specSort;

    int count() const { return int(format.size()); }
    bool contains(int col) const { return col >= 0 && col < count(); }
    // Keeps the entries of the surviving columns; new ones are empty or false.
    void resize(int cols);
};
