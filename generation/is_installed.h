#pragma once

#include "checked_office.h"

// Makes sure an office instance can be started; when none can, explains that in a message box and
// ends the program. Returns only when an instance could be started (and has been quit again).
void CheckWordInstalled();
// The same check, keeping the instance that passed it for the caller's own run: one office does
// both. Empty only when ending the program returned (as it does in tests).
CheckedOffice StartCheckedOffice();
// Starts the office the check will take, so that it starts while the main window is being built.
void StartWordForTheCheck();
