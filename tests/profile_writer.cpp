// Adds count keys "<prefix><n>" to section "s" of a profile file, one write each: one side of
// the concurrent-writers test.
#include "Error.h"
#include "ProfileFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    quvex::ProfileFile file(QString::fromLocal8Bit(argv[1]), "GB18030");
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    try {
        for (int i = 0; i < count; ++i)
            file.WriteString(QStringLiteral("s"), prefix + QString::number(i), QString::number(i));
    } catch (const quvex::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
