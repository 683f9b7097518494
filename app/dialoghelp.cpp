#include "app/dialoghelp.h"

#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QUrl>
#include <QWebView>

void DialogHelpForm::setupUi(QDialog* dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(QString::fromUtf8("DialogHelp"));
    dialog->resize(420, 364);
    horizontalLayout = new QHBoxLayout(dialog);
    horizontalLayout->setObjectName(QString::fromUtf8("horizontalLayout"));
    webView = new QWebView(dialog);
    webView->setObjectName(QString::fromUtf8("webView"));
    webView->setUrl(QUrl(QString::fromUtf8("about:blank")));
    horizontalLayout->addWidget(webView);
    dialog->setWindowTitle(QCoreApplication::translate("DialogHelp", "Help"));
    QMetaObject::connectSlotsByName(dialog);
}

DialogHelp::DialogHelp(QWidget* parent) : QDialog(parent), ui(new DialogHelpForm)
{
    ui->setupUi(this);
    // Always the English page: the system locale is not consulted.
    const QString language = QStringLiteral("en");
    const QString page = QStringLiteral("/help/help/help_") + language + QStringLiteral(".html");
    ui->webView->setUrl(QFile::exists(QStringLiteral(":") + page) ? QUrl(QStringLiteral("qrc:") + page)
                                                                  : QUrl(QStringLiteral("qrc:/help/help/help_en.html")));
}

DialogHelp::~DialogHelp() { delete ui; }
