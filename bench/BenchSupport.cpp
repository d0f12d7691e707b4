#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace quvex::bench {

QString benchRoot() {
    return qEnvironmentVariable("QUVEX_BENCH_ROOT");
}

Locations benchLocations() {
    return Locations::forExecutable(benchRoot() + QStringLiteral("/program/quvex"),
                                    benchRoot() + QStringLiteral("/share/"), QString());
}

Config benchConfig() {
    Config config;
    config.legacyCodepage = "GB18030";
    config.dbDriver = QStringLiteral("QSQLITE");
    return config;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray linkListBytes(int groups, int linksPerGroup) {
    QByteArray bytes;
    bytes.reserve(qsizetype(groups) * (16 + qsizetype(linksPerGroup) * 64));
    for (int g = 0; g < groups; ++g) {
        bytes += "[部门" + QByteArray::number(g) + "]\r\n";
        for (int l = 0; l < linksPerGroup; ++l)
            bytes += "文档" + QByteArray::number(l) + "=\\\\files.example.com\\share\\g" +
                     QByteArray::number(g) + "\\document" + QByteArray::number(l) + ".doc\r\n";
    }
    return bytes;
}

QStringList directoryLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("%1 , 员工%2 , %3 , 138%4 , user%2@example.com")
                     .arg(QString(QChar(u'a' + i % 26)) + QChar(u'a' + (i / 26) % 26))
                     .arg(i)
                     .arg(8000 + i % 1000)
                     .arg(i, 8, 10, QLatin1Char('0'));
    return lines;
}

bool showFirstFrame(QWidget* window) {
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (waited.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace quvex::bench
