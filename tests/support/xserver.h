#pragma once
// An X server (Xvfb) of the test program's own, so that window activation, focus,
// key presses and what the screen shows are not shared with tests running beside
// it. Start it before the application object: it points DISPLAY at itself.

#include <QProcess>

class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool running() const { return running_; }

private:
    QProcess server_;
    bool running_ = false;
};
