// Adds count keys "<prefix><n>" to section "s" of a profile file, one write each: one side of
// the concurrent-writers tests. With a fourth argument, each value is that many "x".
#include "Error.h"
#include "ProfileFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4 && argc != 5)
        return 2;
    quvex::ProfileFile file(QString::fromLocal8Bit(argv[1]), "GB18030");
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    const int valueLength = argc == 5 ? QByteArray(argv[4]).toInt() : -1;
    try {
        for (int i = 0; i < count; ++i)
            file.WriteString(QStringLiteral("s"), prefix + QString::number(i),
                             valueLength < 0 ? QString::number(i) : QString(valueLength, u'x'));
    } catch (const quvex::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
