// The help dialog on the offscreen platform: its form, and the English manual
// loaded from the resource bundle with every topic; the Slovenian page beside
// it carries the same topics.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLocale>
#include <QSignalSpy>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

#include "app/dialoghelp.h"

namespace {

const char* const topics[] = {"navigation", "modes", "pruning", "weights", "ties", "spreaders",
                              "measuring", "planting", "information", "filtering"};

bool waitForLoad(QSignalSpy& spy)
{
    if (spy.isEmpty() && !spy.wait(10000))
        return false;
    return spy.takeFirst().at(0).toBool();
}

// The page's shape: the heading on pale yellow, every topic with some text, and
// nothing that would be fetched from elsewhere.
void expectManual(QWebFrame* frame, const QString& heading)
{
    EXPECT_EQ(frame->findFirstElement("h1").toPlainText(), heading);
    EXPECT_EQ(frame->evaluateJavaScript("getComputedStyle(document.body).backgroundColor").toString(),
              "rgb(255, 255, 224)");
    for (const char* topic : topics) {
        const QWebElement section = frame->findFirstElement(QString("#") + topic);
        ASSERT_FALSE(section.isNull()) << topic;
        EXPECT_GT(section.findFirst("h2").toPlainText().size(), 3) << topic;
        EXPECT_GT(section.toPlainText().size(), 40) << topic;
    }
    EXPECT_EQ(frame->findAllElements("[src], link, script, object, iframe").count(), 0);
}

TEST(HelpTest, DialogShowsTheEnglishManualWhateverTheLocale)
{
    for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::Slovenian), QLocale(QLocale::German)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        DialogHelp dialog;
        auto* view = dialog.findChild<QWebView*>("webView");
        ASSERT_NE(view, nullptr);
        QSignalSpy loaded(view, &QWebView::loadFinished);
        EXPECT_EQ(dialog.objectName(), "DialogHelp");
        EXPECT_EQ(dialog.windowTitle(), "Help");
        EXPECT_EQ(dialog.size(), QSize(420, 364));
        auto* layout = qobject_cast<QHBoxLayout*>(dialog.layout());
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->objectName(), "horizontalLayout");
        EXPECT_EQ(layout->itemAt(0)->widget(), view);

        ASSERT_TRUE(waitForLoad(loaded));
        EXPECT_EQ(view->url(), QUrl("qrc:/help/help/help_en.html"));
        EXPECT_EQ(view->title(), "Manual pages");
        expectManual(view->page()->mainFrame(), "Manual pages");
    }
    QLocale::setDefault(QLocale::c());
}

TEST(HelpTest, SlovenianPageHasTheSameTopics)
{
    QWebView view;
    QSignalSpy loaded(&view, &QWebView::loadFinished);
    view.setUrl(QUrl("qrc:/help/help/help_sl.html"));
    ASSERT_TRUE(waitForLoad(loaded));
    expectManual(view.page()->mainFrame(), "Navodila");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
