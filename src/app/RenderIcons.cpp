// Renders the program's icon, as the program paints it, into PNG files for the
// desktop's icon theme: <folder>/<size>x<size>/apps/tavlor.png for each size given.
//   tavlor-render-icons <folder> <size>...
#include "ui/platform/Images.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    // A build step without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tavlor-render-icons <folder> <size>...\n");
        return 2;
    }
    const QDir root(args[1]);
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool number = false;
        const int size = args[i].toInt(&number);
        if (!number || size < 1 || size > 1024) {
            std::fprintf(stderr, "tavlor-render-icons: not a size: %s\n", qPrintable(args[i]));
            return 2;
        }
        const QImage picture = tavlor::ui::ProgramPicture(size).toImage();
        const QString folder = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = folder + QStringLiteral("/tavlor.png");
        if (picture.size() != QSize(size, size) || !QDir().mkpath(folder) || !picture.save(file, "PNG")) {
            std::fprintf(stderr, "tavlor-render-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
