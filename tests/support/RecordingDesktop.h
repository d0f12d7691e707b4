#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace quvex::test {

// Stand-ins for the programs the desktop provides (xdg-open, xdg-email, ...), put first on PATH
// for the lifetime of the object. Each records its name and arguments instead of opening anything.
class RecordingDesktop {
public:
    explicit RecordingDesktop(const QStringList& programs = {QStringLiteral("xdg-open"),
                                                             QStringLiteral("xdg-email")});
    ~RecordingDesktop();

    // Each call as the program's name followed by its arguments, in the order they happened.
    QList<QStringList> calls() const;

    // Waits (bounded) until at least count calls were recorded, then returns them all.
    QList<QStringList> waitForCalls(int count) const;

    // Adds another recording program to the folder on PATH.
    void addProgram(const QString& name);

private:
    QTemporaryDir m_folder;
    QByteArray m_oldPath;
};

} // namespace quvex::test
