#pragma once
// The program's application object. Qt cannot carry an exception through its
// event dispatch, so every event is delivered inside a guard: whatever a handler,
// slot or timer throws is stored (view/eventloopfailure.h) and every running
// event loop ends with -1; the entry point then rethrows it to its handlers.

#include <QApplication>

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
