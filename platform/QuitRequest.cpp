#include "QuitRequest.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quvex {

namespace {
bool g_quitRequested = false;
}

void RequestQuit() {
    g_quitRequested = true;
    // Queued, so that it is delivered by the running event loop, also when made before exec().
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool quitRequested() {
    return g_quitRequested;
}

void clearQuitRequest() {
    g_quitRequested = false;
}

int runEventLoop() {
    if (g_quitRequested)
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    return QCoreApplication::exec();
}

} // namespace quvex
