#pragma once
// Attribute pointers of the view's vertex records into the bound array buffer,
// one function per record kind, so that every drawing of a kind reads it the
// same way. The caller enables the arrays it draws with.

#include <QOpenGLFunctions_3_3_Core>

#include <cstddef>

// `components` floats of attribute `location` at `offset` bytes into each
// `stride`-byte record.
void floatAttribute(QOpenGLFunctions_3_3_Core& gl, GLuint location, GLint components, std::size_t stride,
                    std::size_t offset);
// MeshVertex: 0 position, 1 normal, 2 texture coordinate.
void pointMeshAttributes(QOpenGLFunctions_3_3_Core& gl);
// LineVertex: 0 point, 1 radius vector.
void pointLineAttributes(QOpenGLFunctions_3_3_Core& gl);
// BranchPoint: 0 base, 1 tip, 2 start radius vector, 3 end radius vector (the
// integer id and age are bound by the passes that read them).
void pointBranchAttributes(QOpenGLFunctions_3_3_Core& gl);
// An integer attribute (no conversion to float), one int per record.
void intAttribute(QOpenGLFunctions_3_3_Core& gl, GLuint location, std::size_t stride, std::size_t offset);
