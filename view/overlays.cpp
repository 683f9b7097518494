// The 2D overlays drawn after the main pass: the colour legend of the
// information mode and the info panel at the cursor, both textured squares in
// window pixels; and the rendering of a text into a texture.

#include "view/widgetrisanje.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <algorithm>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "view/objloader.h"
#include "view/shaderset.h"
#include "view/utils.h"
#include "view/vertexattributes.h"

namespace {

// The panel program with window pixels as coordinates (origin bottom left),
// lighting off and the texture of unit 1 on.
void beginPanelOverlay(QOpenGLFunctions_3_3_Core& gl, ShaderSet& shaders, int width, int height)
{
    shaders.programForPanel.Use();
    const glm::mat4 identity(1.0f);
    const glm::mat4 pixels = glm::ortho(0.0f, float(width), 0.0f, float(height), -1.0f, 1.0f);
    gl.glUniform4f(shaders.panelAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
    gl.glActiveTexture(GL_TEXTURE1);
    gl.glUniform1i(shaders.panelPoPotrebiInvertirajNormale, 1);
    gl.glUniform1i(shaders.panelTekstura, 1);
    gl.glUniform1i(shaders.panelTeksturaE, 1);
    gl.glUniform1i(shaders.panelOsvetlitevE, 0);
    gl.glUniformMatrix4fv(shaders.panelProjectionMatrix, 1, GL_FALSE, glm::value_ptr(identity));
    gl.glUniformMatrix4fv(shaders.panelModelMatrix, 1, GL_FALSE, glm::value_ptr(identity));
    gl.glUniformMatrix4fv(shaders.panelViewMatrix, 1, GL_FALSE, glm::value_ptr(pixels));
}

// The four corners of a textured square as one triangle strip.
void drawPanelQuad(QOpenGLFunctions_3_3_Core& gl, unsigned int streamVbo, float x0, float y0, float x1, float y1)
{
    const glm::vec3 normal(0.0f, 0.0f, 1.0f);
    const MeshVertex quad[4] = {
        {{x0, y0, 0.0f}, normal, {0.0f, 0.0f}},
        {{x1, y0, 0.0f}, normal, {1.0f, 0.0f}},
        {{x0, y1, 0.0f}, normal, {0.0f, 1.0f}},
        {{x1, y1, 0.0f}, normal, {1.0f, 1.0f}},
    };
    gl.glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    gl.glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_DYNAMIC_DRAW);
    pointMeshAttributes(gl);
    gl.glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

void WidgetRisanje::drawColorLegend()
{
    switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
    beginPanelOverlay(*this, *shaders, width(), height());
    glBindTexture(GL_TEXTURE_2D, legendTexture);
    drawPanelQuad(*this, streamVbo, 0.0f, 0.0f, 32.0f, 256.0f);
    glUniform1i(shaders->panelOsvetlitevE, 1);
}

void WidgetRisanje::drawInfoPanel()
{
    if (infoTextDirty) {
        renderTextTexture(infoTextTexture, infoText, mode == ModeInformation ? 40 : 100);
        infoTextDirty = false;
    }
    switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
    beginPanelOverlay(*this, *shaders, width(), height());
    // Over a thick branch in pruning mode the panel shows whatever unit 1 holds
    // (the saw icon when saws are drawn), untinted.
    if (!thickBranchHovered) {
        glBindTexture(GL_TEXTURE_2D, infoTextTexture);
        if (invertColours)
            glUniform4f(shaders->panelAddColor, 0.0f, -0.5f, -0.5f, 0.0f);
        else
            glUniform4f(shaders->panelAddColor, 0.5f, 0.5f, 0.0f, 0.0f);
    }
    const int side = mode == ModeInformation ? std::min(width() / 2, height() / 2)
                                             : std::min(width() / 4, height() / 4);
    const float s = float(side);
    const float x0 = pickPosition.x - s / 2.0f;
    const float y0 = float(height()) - pickPosition.y - s / 2.0f;
    drawPanelQuad(*this, streamVbo, x0, y0, x0 + s, y0 + s);
}

void WidgetRisanje::renderTextTexture(unsigned int texture, const QString& text, int pointSize)
{
    QImage image(512, 512, QImage::Format_ARGB32);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("Arial"), pointSize, 1));
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        painter.setPen(QColor(0, 0, 0, 255));
        painter.drawText(QRect(3, 3, 512, 512), flags, text);
        painter.setPen(QColor(255, 255, 255, 255));
        painter.drawText(QRect(0, 0, 512, 512), flags, text);
    }
    // The upload binds the texture to the active unit; put back what that unit
    // held so that the frame's own bindings stay as they were.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    uploadTexture(image, texture, false);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    checkGLError("overlays: text texture");
}
