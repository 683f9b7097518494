#pragma once
// The help dialog: the program's manual, an HTML page from the resource bundle,
// in a web view. The main window runs it modally and deletes it when it closes.

#include <QDialog>

class QHBoxLayout;
class QWebView;

// The dialog's form: pointers into the dialog's Qt children, owning nothing.
struct DialogHelpForm {
    QHBoxLayout* horizontalLayout = nullptr;
    QWebView* webView = nullptr;

    void setupUi(QDialog* dialog);
};

class DialogHelp : public QDialog {
    Q_OBJECT

public:
    explicit DialogHelp(QWidget* parent = nullptr);
    ~DialogHelp() override;

private:
    DialogHelpForm* ui;
};
