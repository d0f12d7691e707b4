#pragma once

namespace quvex {

// Asks the program to quit. The request does not end anything at once: the event loop ends as
// soon as it runs, so a request made during start-up lets the start sequence finish first.
void RequestQuit();

// Whether RequestQuit was called in this process.
bool quitRequested();

} // namespace quvex
