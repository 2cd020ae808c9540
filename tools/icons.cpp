// Renders the application icon at the sizes a desktop's icon theme asks for,
// into <folder>/hicolor/<size>x<size>/apps/quillwright.png. Run with
// QT_QPA_PLATFORM=offscreen; the first argument is the folder (dist/icons).
#include "gui/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTextStream err(stderr);
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString path = folder.filePath(apps + QStringLiteral("/quillwright.png"));
        if (!QDir().mkpath(folder.filePath(apps)) || !Artwork::iconPicture(size).save(path)) {
            err << "cannot write " << path << Qt::endl;
            return 1;
        }
    }
    return 0;
}
