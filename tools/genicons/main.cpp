// Writes the main window's tool-bar icons into a folder: genicons <folder>
// (resources/icons in the source tree). Run again after changing a drawing and
// commit the output with it.

#include "icons.h"

#include <QDir>
#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: genicons <output folder>\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::cerr << "cannot create " << argv[1] << "\n";
        return 1;
    }
    for (const icongen::IconFile& file : icongen::iconFiles()) {
        const QString path = folder.filePath(QString::fromLatin1(file.name));
        if (!file.build().save(path)) {
            std::cerr << "cannot write " << path.toStdString() << "\n";
            return 1;
        }
        std::cout << path.toStdString() << "\n";
    }
    return 0;
}
