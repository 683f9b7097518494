#pragma once
// Captures standard output and Qt's debug stream for tests of printed lines.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QString>
#include <QtGlobal>

// Redirects std::cout into a string while it lives.
class CoutCapture {
public:
    CoutCapture() : previous_(std::cout.rdbuf(buffer_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous_); }
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;

    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};

// Collects every qDebug message while it lives (one capture at a time).
class DebugCapture {
public:
    DebugCapture() : previous_(qInstallMessageHandler(&DebugCapture::handle)) { messages().clear(); }
    ~DebugCapture() { qInstallMessageHandler(previous_); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> list;
        return list;
    }

    // Messages that begin with `prefix`.
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

    QtMessageHandler previous_;
};
