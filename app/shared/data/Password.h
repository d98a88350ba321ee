#pragma once

#include <QString>
#include <QVariant>

// Login passwords are stored as salted PBKDF2-SHA256 hashes:
// "pbkdf2-sha256$<iterations>$<salt, base64>$<key, base64>". A value in any
// other form is an old clear-text password and is compared as typed. A hash
// whose iteration count lies outside 1,000 … 10,000,000 matches nothing.
QString HashPassword(const QString &password);

// Whether typed opens the program, given the stored value as LookupValue gives
// it: no row (invalid) admits only the empty password, Null admits nobody.
bool PasswordMatches(const QVariant &stored, const QString &typed);
