#pragma once

#include <QString>

// The text that stands for one character in search codes (红 → h), from table
// tblspell; a character without an entry stands for itself.
QString SpellOf(const QString &character);

// The search code of a text: CleanText, then SpellOf of each character.
QString MakeSearchCode(const QString &text);

// The search-code table is read from the database once and kept; a new
// connection (another database file) must drop it.
void ForgetSpellTable();
