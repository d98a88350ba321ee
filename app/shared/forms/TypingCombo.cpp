#include "TypingCombo.h"

#include <QComboBox>
#include <QVariant>

QComboBox *MakeTypingCombo(QWidget *parent, const QString &name, const QString &tag)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    KeepTypedText(combo);
    if (!tag.isEmpty())
        combo->setProperty("Tag", tag);
    return combo;
}

void KeepTypedText(QComboBox *combo)
{
    // An editable QComboBox completes inline into the first matching entry
    // (王 becomes 王芳) and, with a completer, matches ignoring case on Enter.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
}
