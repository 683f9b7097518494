// The tool-bar icons the main window loads from "icons/": copied beside the
// tests by the build, and the output of tools/genicons (up to the rounding of
// another CPU).

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <set>

#include "icons.h"
#include "support/imagecompare.h"

namespace {

TEST(IconFilesTest, EveryIconIsBesideTheTestsAndIsTheGeneratorsOutput)
{
    const std::set<std::string> names = {"histogram.png", "view_reset.png", "view_up.png", "chronometer.png",
                                         "viewLoad.png",  "undo_256.png",   "viewSave.png"};
    std::set<std::string> built;
    for (const icongen::IconFile& file : icongen::iconFiles()) {
        SCOPED_TRACE(file.name);
        built.insert(file.name);
        const QImage committed = QImage(QString("icons/") + file.name).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(committed.isNull()) << "not beside the test";
        const QImage generated = file.build().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(generated.size(), committed.size());
        const ImageDifference d = differenceOf(committed, generated);
        EXPECT_TRUE(withinRounding(d, committed)) << d.pixels << " pixels apart, by up to " << d.largest << " levels";

        // A picture on a transparent ground: neither empty nor a filled square.
        int opaque = 0;
        for (int y = 0; y < committed.height(); ++y)
            for (int x = 0; x < committed.width(); ++x)
                opaque += qAlpha(committed.pixel(x, y)) > 128 ? 1 : 0;
        const double cover = double(opaque) / (committed.width() * committed.height());
        EXPECT_GT(cover, 0.1);
        EXPECT_LT(cover, 0.9);
    }
    EXPECT_EQ(built, names);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
