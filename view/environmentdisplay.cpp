// The environment display: the point field of the active light model, filled
// on the OpenCL device into environmentVbo and drawn as translucent box faces,
// and the translucent slices of the marker grid.

#include "view/widgetrisanje.h"

#include <QDebug>
#include <QOpenGLContext>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include <glm/gtc/type_ptr.hpp>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "view/markers.h"
#include "view/shaderset.h"
#include "view/utils.h"
#include "view/vertexattributes.h"

namespace {

constexpr std::size_t pointBytes = 4 * sizeof(float);
// The cone lattice's buffer keeps room for 1,000,000 points.
constexpr std::size_t coneBufferBytes = 16000000;

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

std::size_t cube(int n)
{
    const auto d = static_cast<std::size_t>(n);
    return d * d * d;
}

// Makes the widget's context current for work started outside the GL
// callbacks (main-window commands) and releases it again, also when a fill
// throws; inside a callback the context is current already and stays so.
class CurrentContext {
public:
    explicit CurrentContext(QOpenGLWidget& widget) : widget(widget)
    {
        entered = QOpenGLContext::currentContext() != widget.context();
        if (entered)
            widget.makeCurrent();
    }
    ~CurrentContext()
    {
        if (entered)
            widget.doneCurrent();
    }
    CurrentContext(const CurrentContext&) = delete;
    CurrentContext& operator=(const CurrentContext&) = delete;

private:
    QOpenGLWidget& widget;
    bool entered = false;
};

}  // namespace

void WidgetRisanje::updateEnvironmentVbo(bool show)
{
    if (!show || !glReady || !OpenClHolder::instance)
        return;
    const Environment& environment = *Environment::instance;
    const int type = environment.type;
    if (type != 0 && type != 2)
        return;

    const int dim = type == 0 ? ShadowGrid::instance->dim : Stozci::instance->vboDim;
    const std::size_t points = dim > 0 ? cube(dim) : 0;
    const std::size_t bytes = type == 0 ? points * pointBytes : std::max(coneBufferBytes, points * pointBytes);
    const cl_ulong limit = OpenClHolder::instance->device.getInfo<CL_DEVICE_MAX_MEM_ALLOC_SIZE>();
    // A refused size keeps the last display: the buffer and its count stay as
    // they were.
    if (dim < 1 || bytes > limit || points > std::size_t(INT_MAX)) {
        const QString message = QStringLiteral("The environment display of %1^3 points needs %2 bytes; the device allows %3")
                                    .arg(dim)
                                    .arg(qulonglong(bytes))
                                    .arg(qulonglong(limit));
        std::cerr << message.toStdString() << "\n" << std::flush;
        if (statusMessageCallback)
            statusMessageCallback(message);
        return;
    }

    CurrentContext current(*this);
    glBindBuffer(GL_ARRAY_BUFFER, environmentVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_DYNAMIC_DRAW);
    if (type == 0) {
        OpenClHolder::instance->CalcVBOShadowProp(environmentVbo, dim, environment.boxOrigin, environment.boxSize,
                                                  1.0f);
    } else {
        Stozci& cones = *Stozci::instance;
        if (cones.stozciVOkolju.empty()) {
            OpenClHolder::instance->CalcVboIzStozcev(environmentVbo, nullptr, 0, dim, cones.coneFieldMin,
                                                     cones.coneFieldMax);
            qDebug() << "Stozci::instance->stozciVOkolju.size()<=0";
        } else {
            OpenClHolder::instance->CalcVboIzStozcev(environmentVbo, cones.stozciVOkolju.data(),
                                                     static_cast<int>(cones.stozciVOkolju.size()), dim,
                                                     cones.coneFieldMin, cones.coneFieldMax);
        }
    }
    environmentPointCount = points;
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawEnvironment()
{
    const Environment& environment = *Environment::instance;
    glm::vec3 cell;
    if (environment.type == 0) {
        cell = environment.boxSize / float(ShadowGrid::instance->dim);
    } else if (environment.type == 2) {
        const Stozci& cones = *Stozci::instance;
        cell = (cones.coneFieldMax - cones.coneFieldMin) / float(cones.vboDim);
    } else {
        return;
    }
    shaders->programDrawTrans.Use();
    glUniformMatrix4fv(shaders->transPVM, 1, GL_FALSE, glm::value_ptr(camera.mvp));
    glUniform3f(shaders->transCubeD, cell.x, cell.y, cell.z);
    glUniform1f(shaders->transAlfa, ShadowGrid::instance->displayAlpha);
    checkGLError(here(__LINE__));

    glBindBuffer(GL_ARRAY_BUFFER, environmentVbo);
    switchAttribArrays({1, 2, 3}, {0});
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(pointBytes), nullptr);
    // The count of the last fill, whatever dim says now: the buffer holds no more.
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(environmentPointCount));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGLError(here(__LINE__));
    glFlush();
}

void WidgetRisanje::drawMarkerGridQuads()
{
    const Environment& environment = *Environment::instance;
    std::vector<MarkerSliceVertex> vertices;
    AddMarkerGridQuads(vertices, environment.boxOrigin, environment.boxSize, environment.markerDim);
    if (vertices.empty())
        return;
    shaders->programDefault.Use();
    glUniformMatrix4fv(shaders->defaultPVM, 1, GL_FALSE, glm::value_ptr(camera.mvp));
    switchAttribArrays({2, 3, 4, 5, 6}, {0, 1});
    // The core profile has neither quads nor client-side arrays: the quads go
    // through the streaming buffer as triangle pairs.
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(MarkerSliceVertex)),
                 vertices.data(), GL_DYNAMIC_DRAW);
    floatAttribute(*this, 0, 3, sizeof(MarkerSliceVertex), offsetof(MarkerSliceVertex, position));
    floatAttribute(*this, 1, 4, sizeof(MarkerSliceVertex), offsetof(MarkerSliceVertex, colour));
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGLError(here(__LINE__));
}
