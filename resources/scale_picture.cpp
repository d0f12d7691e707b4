// Build tool: writes a picture scaled down, smoothly and keeping its proportions, to the size it
// is shown at, so that the program decodes small pictures and never scales them while starting.
//   scale_picture <source> <target> <width> <height>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: scale_picture <source> <target> <width> <height>\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "scale_picture: cannot read %s\n", argv[1]);
        return 1;
    }
    const QSize box(QByteArray(argv[3]).toInt(), QByteArray(argv[4]).toInt());
    const QImage shown = source.width() > box.width() || source.height() > box.height()
                             ? source.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : source;
    if (!shown.save(QString::fromLocal8Bit(argv[2]), "png")) {
        std::fprintf(stderr, "scale_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
