#pragma once

namespace quvex {

// Asks the program to quit. The request does not end anything at once: the event loop ends as
// soon as it runs, so a request made during start-up lets the start sequence finish first.
void RequestQuit();

// Whether RequestQuit was called in this process.
bool quitRequested();

// Forgets an earlier request, so that one process can run the start more than once (the tests).
void clearQuitRequest();

// Runs the application's event loop; a quit requested before (even one that a nested loop such
// as a message box already consumed) ends it as soon as it starts.
int runEventLoop();

} // namespace quvex
