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

    // Every call, once no stand-in is running any more. A program started detached exists as a
    // process when its start returns, so this sees everything an action started, and no call
    // that an action made can arrive after it.
    QList<QStringList> settledCalls() const;

    // Adds another recording program to the folder on PATH.
    void addProgram(const QString& name);

private:
    bool anyRunning() const;

    QTemporaryDir m_folder;
    QByteArray m_oldPath;
};

} // namespace quvex::test
