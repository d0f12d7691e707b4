#include "BuildConfiguration.h"
#include "MessageBoxes.h"
#include "Program.h"
#include "QtTranslations.h"
#include "QuitRequest.h"
#include "Shell.h"
#include "UnitMain.h"

#include <QApplication>
#include <QFileInfo>

using namespace quvex;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installQtTranslations(app, QLocale::system());
    const QString executable = QCoreApplication::applicationFilePath();
    QApplication::setApplicationName(applicationTitleFor(QFileInfo(executable).fileName()));
    // The proof of life goes out from the first event loop that runs, the program's own or that
    // of a message box shown during the start: either way the program is up and can be seen.
    QMetaObject::invokeMethod(&app, &reportProofOfLife, Qt::QueuedConnection);

    const auto program = createProgram(locationsOfThisProcess(), configurationOfThisBuild());
    // A start with the hidden show command (the update carrier) keeps its window hidden while
    // it hands over; when the hand-over fails it goes on as a normal instance, window and all.
    if (!startedHidden() || !quitRequested())
        program->mainWindow->show();
    return runEventLoop();
}
