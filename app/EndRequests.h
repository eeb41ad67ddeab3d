#pragma once

class CPlaviaApp;

// The ways a desktop asks the program to end besides its close button: SIGTERM (logout, shutdown, a
// kill), SIGINT (Ctrl+C in the terminal it was started from), SIGHUP (that terminal closed), and a
// session manager's request, before the session ends, to save the user's work. Each is taken as a click
// on the main window's close button: a changed list is asked about, and the settings are written when
// the program ends.
namespace EndRequests {

// From now until the program ends. A signal that was ignored when the program started (nohup, a
// background job) stays ignored. Returns false when the signals cannot be caught; they then end the
// program as they always would.
bool Install(CPlaviaApp& app);

} // namespace EndRequests
