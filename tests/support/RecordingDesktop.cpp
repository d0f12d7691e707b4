#include "RecordingDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

namespace quvex::test {

namespace {

// Fields are separated by US and calls by RS, so arguments may hold any other character.
const char recorder[] = R"sh(#!/bin/sh
us=$(printf '\037')
record=$(basename "$0")
for a in "$@"; do record="$record$us$a"; done
# One write per call, so that concurrent calls do not interleave.
printf '%s\036' "$record" >> "$(dirname "$0")/calls.log"
)sh";

} // namespace

RecordingDesktop::RecordingDesktop(const QStringList& programs)
    : m_oldPath(qgetenv("PATH")) {
    for (const QString& program : programs)
        addProgram(program);
    qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_oldPath);
}

RecordingDesktop::~RecordingDesktop() {
    qputenv("PATH", m_oldPath);
}

void RecordingDesktop::addProgram(const QString& name) {
    QFile script(m_folder.filePath(name));
    if (!script.open(QIODevice::WriteOnly) || script.write(recorder) < 0)
        qFatal("cannot write the recording %s", qPrintable(name));
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> RecordingDesktop::calls() const {
    QFile log(m_folder.filePath(QStringLiteral("calls.log")));
    QList<QStringList> result;
    if (!log.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray& call : log.readAll().split('\036')) {
        if (!call.isEmpty())
            result.append(QString::fromUtf8(call).split(QChar(0x1f)));
    }
    return result;
}

bool RecordingDesktop::anyRunning() const {
    const QByteArray folder = QFile::encodeName(m_folder.path()) + '/';
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(folder))
            return true;
    }
    return false;
}

QList<QStringList> RecordingDesktop::settledCalls() const {
    const QDeadlineTimer deadline(10000);
    while (anyRunning() && !deadline.hasExpired())
        QTest::qWait(5);
    return calls();
}

} // namespace quvex::test
