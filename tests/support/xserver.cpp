#include "support/xserver.h"

#include <QByteArray>

PrivateXServer::PrivateXServer()
{
    // -displayfd: the server picks a free display and writes its number once
    // it accepts connections.
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(10000))
        return;
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(20000))
        number += server_.readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    qputenv("DISPLAY", ":" + number.trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    running_ = true;
}

PrivateXServer::~PrivateXServer()
{
    server_.terminate();
    server_.waitForFinished(5000);
}
