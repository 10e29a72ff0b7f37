#pragma once

// Makes sure an office instance can be started; when none can, explains that in a message box and
// ends the program. Returns only when an instance could be started (and has been quit again).
void CheckWordInstalled();
