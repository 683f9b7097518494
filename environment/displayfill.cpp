// The two fills of the environment display buffer, the only compute operations
// that touch OpenGL: through buffer sharing where the context has it, otherwise
// by reading the records back and uploading them to the OpenGL buffer.

#include "environment/openclholder.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "environment/clerrors.h"
#include "environment/computesupport.h"

namespace {

constexpr std::size_t recordSize = 4 * sizeof(float);

QOpenGLFunctions* currentGl()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        throw std::string("The environment display needs a current OpenGL context");
    return context->functions();
}

// OpenGL must be done with the buffer before OpenCL takes it over.
void finishOpenGl()
{
    if (QOpenGLContext* context = QOpenGLContext::currentContext())
        context->functions()->glFinish();
}

// Reads `records` display records back from `output` and makes them the whole
// contents of the OpenGL buffer, which stays bound to GL_ARRAY_BUFFER.
void uploadReadBack(OpenClHolder& holder, const cl::Buffer& output, std::size_t records, unsigned int glBuffer)
{
    std::vector<glm::vec4> host(records);
    try {
        holder.queue.enqueueReadBuffer(output, CL_TRUE, 0, records * recordSize, host.data());
    } catch (const cl::Error& error) {
        raiseOpenClError(holder, error);
    }
    QOpenGLFunctions* gl = currentGl();
    gl->glBindBuffer(GL_ARRAY_BUFFER, glBuffer);
    gl->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(records * recordSize), host.data(), GL_STATIC_DRAW);
    gl->glFinish();
}

}  // namespace

void OpenClHolder::CalcVBOShadowProp(unsigned int glBuffer, int dim, const glm::vec3& bboxMin,
                                     const glm::vec3& bboxD, float alfa)
{
    std::cout << "CalcVBOShadowProp\n" << std::flush;
    if (!glSharing)
        std::cerr << " Opengl+OpenCL NOK";
    qDebug() << "Start CalcVBOShadowProp";
    ensureShadowGrid(*this, dim);
    const std::size_t records = cubeOf(dim);
    if (glSharing) {
        finishOpenGl();
        try {
            cl::BufferGL poses(context, CL_MEM_WRITE_ONLY, glBuffer);
            const std::vector<cl::Memory> shared{poses};
            queue.enqueueAcquireGLObjects(&shared);
            setKernelArgs(kernelVboIzShadowProp, poses, shadowGrid, dim, toFloat4(bboxMin), toFloat4(bboxD), alfa);
            runKernel1D(kernelVboIzShadowProp, records, launchGroupSize, 0);
            queue.enqueueReleaseGLObjects(&shared);
            queue.finish();
        } catch (const cl::Error& error) {
            raiseOpenClError(*this, error);
        }
    } else {
        checkDeviceAllocation(*this, records * recordSize, "The shadow grid display");
        cl::Buffer poses;
        try {
            poses = cl::Buffer(context, CL_MEM_WRITE_ONLY, records * recordSize);
            setKernelArgs(kernelVboIzShadowProp, poses, shadowGrid, dim, toFloat4(bboxMin), toFloat4(bboxD), alfa);
            runKernel1D(kernelVboIzShadowProp, records, launchGroupSize, 0);
            queue.finish();
        } catch (const cl::Error& error) {
            raiseOpenClError(*this, error);
        }
        uploadReadBack(*this, poses, records, glBuffer);
    }
    qDebug() << "End CalcVBOShadowProp";
}

void OpenClHolder::CalcVboIzStozcev(unsigned int glBuffer, const glm::vec4* points, int count, int dim,
                                    glm::vec3& fieldMin, glm::vec3& fieldMax)
{
    std::cout << "CalcVboIzStozcev\n" << std::flush;
    if (!glSharing)
        std::cerr << " Opengl,OpenCL shraing not supported. Using bypass.";

    glm::vec4 lo(999999.0f), hi(-999999.0f);
    for (int i = 0; i < count; ++i) {
        lo = glm::min(lo, points[i]);
        hi = glm::max(hi, points[i]);
    }
    const glm::vec4 bboxMin = lo - 5.0f;
    const glm::vec4 bboxMax = hi + 5.0f;
    fieldMin = glm::vec3(bboxMin);
    fieldMax = glm::vec3(bboxMax);

    qDebug().nospace() << "Start CalcVboIzStozcev " << count;
    rejectNonPositiveDim(dim);
    const std::size_t records = cubeOf(dim);
    if (!glSharing)
        checkDeviceAllocation(*this, records * recordSize, "The cone display");
    cl::Buffer output;
    try {
        // With no point the kernel reads none, but the buffer must still exist.
        cl::Buffer stozci =
            count >= 1 ? cl::Buffer(context, CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR,
                                    static_cast<std::size_t>(count) * recordSize, const_cast<glm::vec4*>(points))
                       : cl::Buffer(context, CL_MEM_READ_ONLY, recordSize);
        std::vector<cl::Memory> shared;
        if (glSharing) {
            output = cl::BufferGL(context, CL_MEM_WRITE_ONLY, glBuffer);
            shared.push_back(output);
            finishOpenGl();
            queue.enqueueAcquireGLObjects(&shared);
        } else {
            output = cl::Buffer(context, CL_MEM_WRITE_ONLY, records * recordSize);
        }
        MemSet(0.0f, output, records * 4);
        setKernelArgs(kernelVboIzStozcev, stozci, std::max(count, 0), output, dim, toFloat4(bboxMin),
                      toFloat4(bboxMax));
        runKernel1D(kernelVboIzStozcev, records, launchGroupSize, 0);
        queue.finish();
        if (glSharing)
            queue.enqueueReleaseGLObjects(&shared);
        queue.finish();
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
    if (!glSharing)
        uploadReadBack(*this, output, records, glBuffer);
    qDebug() << "End CalcVboIzStozcev";
}
