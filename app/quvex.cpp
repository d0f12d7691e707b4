#include "BuildConfiguration.h"
#include "MessageBoxes.h"
#include "Program.h"
#include "QuitRequest.h"
#include "Shell.h"
#include "UnitMain.h"

#include <QApplication>
#include <QFileInfo>

using namespace quvex;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString executable = QCoreApplication::applicationFilePath();
    QApplication::setApplicationName(applicationTitleFor(QFileInfo(executable).fileName()));

    const auto program = createProgram(locationsOfThisProcess(), configurationOfThisBuild());
    // A start with the hidden show command (the update carrier) keeps its window hidden while
    // it hands over; when the hand-over fails it goes on as a normal instance, window and all.
    if (!startedHidden() || !quitRequested())
        program->mainWindow->show();
    reportProofOfLife();
    return runEventLoop();
}
