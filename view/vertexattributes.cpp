#include "view/vertexattributes.h"

#include "view/objloader.h"
#include "view/selection.h"
#include "view/vertexdata.h"

namespace {

const void* byteOffset(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }

} // namespace

void floatAttribute(QOpenGLFunctions_3_3_Core& gl, GLuint location, GLint components, std::size_t stride,
                    std::size_t offset)
{
    gl.glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, GLsizei(stride), byteOffset(offset));
}

void intAttribute(QOpenGLFunctions_3_3_Core& gl, GLuint location, std::size_t stride, std::size_t offset)
{
    gl.glVertexAttribIPointer(location, 1, GL_INT, GLsizei(stride), byteOffset(offset));
}

void pointMeshAttributes(QOpenGLFunctions_3_3_Core& gl)
{
    floatAttribute(gl, 0, 3, sizeof(MeshVertex), offsetof(MeshVertex, position));
    floatAttribute(gl, 1, 3, sizeof(MeshVertex), offsetof(MeshVertex, normal));
    floatAttribute(gl, 2, 2, sizeof(MeshVertex), offsetof(MeshVertex, texCoord));
}

void pointLineAttributes(QOpenGLFunctions_3_3_Core& gl)
{
    floatAttribute(gl, 0, 3, sizeof(LineVertex), offsetof(LineVertex, position));
    floatAttribute(gl, 1, 3, sizeof(LineVertex), offsetof(LineVertex, radius));
}

void pointBranchAttributes(QOpenGLFunctions_3_3_Core& gl)
{
    floatAttribute(gl, 0, 3, sizeof(BranchPoint), offsetof(BranchPoint, base));
    floatAttribute(gl, 1, 3, sizeof(BranchPoint), offsetof(BranchPoint, tip));
    floatAttribute(gl, 2, 3, sizeof(BranchPoint), offsetof(BranchPoint, startRadius));
    floatAttribute(gl, 3, 3, sizeof(BranchPoint), offsetof(BranchPoint, endRadius));
}
