#include "ColumnSettings.h"

void ColumnSettings::resize(int cols)
{
    const size_t n = size_t(std::max(cols, 0));
    format.resize(n);
    tag.resize(n);
    title.resize(n);
    defaultText.resize(n);
    wordWrap.resize(n, false);
    specSort.resize(n, false);
}
