#pragma once

// The menu's backup: copies the open database to the configured folder or
// the first removable drive under the wait cursor, then says how it went.
void RunBackupCommand();
