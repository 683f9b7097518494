#include "app/failuremessage.h"

#include <string>

#include "environment/opencl.h"

QString failureMessage(std::exception_ptr failure)
{
    // Tried in this order: a thrown character string always takes the first
    // row, and an OpenCL error is reported as such before it counts as a
    // standard exception.
    try {
        std::rethrow_exception(failure);
    } catch (const char* text) {
        return QStringLiteral("Critical error: ") + QString::fromUtf8(text);
    } catch (const std::string& text) {
        return QStringLiteral("Critical error: ") + QString::fromStdString(text);
    } catch (const cl::Error& error) {
        return QStringLiteral("Critical OpenCL error: ") + QString::fromUtf8(error.what());
    } catch (void*) {
        return QStringLiteral("Critical unknown error");
    } catch (const std::exception& error) {
        return QStringLiteral("Critical error: ") + QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Critical unknown error");
    }
}
