#pragma once

// Chooses Qt's own event loop over GLib's; call it before the application object is made.
//
// Under GLib's loop Qt runs its timers at idle priority once one has fired, so while a socket
// keeps having data, as under a flood of datagrams, timers wait until a pass finds it empty:
// the console's catch-up and the reply time-outs came late, a 10 ms timer by up to 20 ms at
// 20,000 datagrams/s. Qt's own loop runs every due timer on every pass. An operator who sets
// QT_NO_GLIB (even to nothing, which keeps GLib's loop) is left their choice.
void useTimerFairEventLoop();
