#pragma once

// Makes sure an office instance can be started; when none can, explains that in a message box and
// ends the program. Returns only when an instance could be started (and has been quit again).
void CheckWordInstalled();
// Starts the office the check will take, so that it starts while the main window is being built.
void StartWordForTheCheck();
