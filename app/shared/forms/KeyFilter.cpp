#include "KeyFilter.h"

#include "shared/base/TextRules.h"

#include <QKeyEvent>

bool IsFilteredKey(const QKeyEvent *event)
{
    int keyAscii = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        keyAscii = 13;
    else if (event->text().size() == 1)
        keyAscii = event->text().at(0).unicode();
    if (keyAscii == 0)
        return false;
    FilterKeyAscii(keyAscii);
    return keyAscii == 0;
}
