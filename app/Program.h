#pragma once

#include "Config.h"
#include "Locations.h"

#include <memory>

class QApplication;

namespace quvex {

class TForm_quvex;
class TFormAddLink;

// The program's two windows, created in the order the entry point needs.
struct Program {
    std::unique_ptr<TForm_quvex> mainWindow;
    std::unique_ptr<TFormAddLink> addLinkDialog;
    ~Program();
};

// Creates the main window, runs the start sequence (update, phone list, link page, shortcut,
// autostart) and then creates the hidden add-link dialog.
std::unique_ptr<Program> createProgram(const Locations& locations, const Config& config);

} // namespace quvex
