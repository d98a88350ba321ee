#pragma once

class frmControl;

// Connects the menu's buttons to the windows the program has.
void ConnectMenuWindows(frmControl *menu);
