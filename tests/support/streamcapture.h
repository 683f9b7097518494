#pragma once
// Captures of what code prints, so printed lines can be checked word for word:
// StreamCapture for std::cout or std::cerr, DebugCapture for Qt's debug stream.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QString>
#include <QtGlobal>

class StreamCapture {
public:
    explicit StreamCapture(std::ostream& stream) : stream_(stream), saved_(stream.rdbuf(buffer_.rdbuf())) {}
    ~StreamCapture() { stream_.rdbuf(saved_); }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    std::string text() const { return buffer_.str(); }

private:
    std::ostream& stream_;
    std::ostringstream buffer_;
    std::streambuf* saved_;
};

// Collects every qDebug message while it lives (one capture at a time).
class DebugCapture {
public:
    DebugCapture() : saved_(qInstallMessageHandler(&DebugCapture::handle)) { messages().clear(); }
    ~DebugCapture() { qInstallMessageHandler(saved_); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> list;
        return list;
    }

    static int countStartingWith(const std::string& prefix)
    {
        int n = 0;
        for (const std::string& message : messages())
            n += message.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        messages().push_back(message.toStdString());
    }

    QtMessageHandler saved_;
};
