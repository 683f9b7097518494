// Writes the program's textures into a folder: gentextures <folder>
// (resources/tex in the source tree). The images are ours alone, made from
// formulas and deterministic noise; run again after changing a builder and
// commit the output with it.

#include "textures.h"

#include <QDir>
#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: gentextures <output folder>\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::cerr << "cannot create " << argv[1] << "\n";
        return 1;
    }
    for (const texgen::TextureFile& file : texgen::textureFiles()) {
        const QString path = folder.filePath(QString::fromLatin1(file.name));
        // JPEG at a fixed quality so that the files only change with the pictures.
        if (!file.build().save(path, nullptr, path.endsWith(".jpg") ? 92 : -1)) {
            std::cerr << "cannot write " << path.toStdString() << "\n";
            return 1;
        }
        std::cout << path.toStdString() << "\n";
    }
    return 0;
}
