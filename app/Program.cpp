#include "Program.h"

#include "StartSequence.h"
#include "UnitAddLink.h"
#include "UnitMain.h"
#include "UnitUpdate.h"

namespace quvex {

Program::~Program() = default;

std::unique_ptr<Program> createProgram(const Locations& locations, const Config& config) {
    auto program = std::make_unique<Program>();
    program->mainWindow = std::make_unique<TForm_quvex>(locations, config);
    TForm_quvex* form = program->mainWindow.get();
    // Step 1 runs first so that steps 2 and 3 read the freshly copied files.
    runStartSequence({
        [&] { UpdateFromShare(locations, config.updatePublicKey); },
        [form] { form->LoadPhoneDirectory(); },
        [form] { form->BuildLinkGroups(); },
        [&] { CreateDesktopShortcut(locations); },
        [] { RemoveAutostartEntry(); },
    });
    program->addLinkDialog = std::make_unique<TFormAddLink>(locations, config, form);
    form->setAddLinkDialog(program->addLinkDialog.get());
    return program;
}

} // namespace quvex
