#include "view/objloader.h"

#include <iostream>
#include <locale>
#include <sstream>
#include <string>

#include <QFile>
#include <QString>
#include <QTextStream>

namespace {

// Indices of one face as written, 1-based; 0 where a corner names none.
struct ObjFace {
    int position[3] = {0, 0, 0};
    int texCoord[3] = {0, 0, 0};
    int normal[3] = {0, 0, 0};
};

struct ObjLists {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
    std::vector<ObjFace> faces;
};

// One corner: "p", "p/t", "p/t/n" or "p//n". The separator is read with get(),
// which does not skip blanks, so the blank after a bare position index ends
// the corner instead of swallowing the next corner's first digit.
void readCorner(std::istringstream& in, ObjFace& face, int corner)
{
    in >> face.position[corner];
    if (in.get() != '/')
        return;
    const int next = in.get();
    if (next != '/') {
        in.unget();
        in >> face.texCoord[corner];
        if (in.get() != '/')
            return;
    }
    in >> face.normal[corner];
}

void parseLine(const std::string& line, ObjLists& lists)
{
    std::istringstream in(line);
    // Numbers in the files use a full stop whatever the user's locale says.
    in.imbue(std::locale::classic());
    std::string keyword;
    in >> keyword;
    // A value that does not parse stays 0 and the record is still kept.
    if (keyword == "v") {
        glm::vec3 p(0.0f);
        in >> p.x >> p.y >> p.z;
        lists.positions.push_back(p);
    } else if (keyword == "vt") {
        glm::vec2 t(0.0f);
        in >> t.x >> t.y;
        lists.texCoords.push_back(t);
    } else if (keyword == "vn") {
        glm::vec3 n(0.0f);
        in >> n.x >> n.y >> n.z;
        lists.normals.push_back(n);
    } else if (keyword == "f") {
        ObjFace face;
        for (int corner = 0; corner < 3; ++corner)
            readCorner(in, face, corner);
        lists.faces.push_back(face);
    }
}

bool inList(int oneBasedIndex, std::size_t count)
{
    return oneBasedIndex >= 1 && static_cast<std::size_t>(oneBasedIndex) <= count;
}

}  // namespace

std::vector<MeshTriangle> loadObjMesh(const char* path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "ne morem odpreti: " << path;
        throw "err";
    }

    ObjLists lists;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    while (!stream.atEnd())
        parseLine(stream.readLine().toStdString(), lists);
    file.close();

    // A face may name positions defined further down, so the indices are only
    // checked once the whole file is read. A bad position index (a short face,
    // a relative index, a typo) would read outside the list; such a file is
    // rejected as a whole rather than drawn in part.
    for (const ObjFace& face : lists.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            if (!inList(face.position[corner], lists.positions.size())) {
                std::cerr << "bad position index " << face.position[corner] << " in " << path << "\n";
                throw "err";
            }
        }
    }

    std::vector<MeshTriangle> triangles;
    triangles.reserve(lists.faces.size());
    for (const ObjFace& face : lists.faces) {
        MeshTriangle triangle;
        for (int corner = 0; corner < 3; ++corner) {
            MeshVertex& vertex = triangle.corners[corner];
            vertex.position = lists.positions[face.position[corner] - 1];
            vertex.texCoord = inList(face.texCoord[corner], lists.texCoords.size())
                                  ? lists.texCoords[face.texCoord[corner] - 1]
                                  : glm::vec2(0.0f);
            vertex.normal = inList(face.normal[corner], lists.normals.size())
                                ? lists.normals[face.normal[corner] - 1]
                                : glm::vec3(0.0f);
        }
        triangles.push_back(triangle);
    }
    return triangles;
}
