// Measuring lengths and angles and planting trees through the mouse on the
// shown widget. Expected values come from the camera's rays and the trees'
// own positions, not from the depth buffer the tools read.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/treebuilders.h"
#include "tools_support.h"

namespace {

using namespace toolstest;

class MeasuringTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        w().statusMessageCallback = [this](const QString& text) { status = text; };
    }
    void TearDown() override { w().statusMessageCallback = nullptr; }

    // The number in the last status message "Len: <number><unit>".
    double statusValue(const QString& unit) const
    {
        EXPECT_TRUE(status.startsWith("Len: ") && status.endsWith(unit)) << status.toStdString();
        return status.mid(5, status.size() - 5 - unit.size()).toDouble();
    }

    QString status;
};

TEST_F(MeasuringTest, LengthFromAFixedPointToTheCursor)
{
    FanTree fan;
    showTrees({fan.tree});
    w().mode = ModeLength;
    const QPoint p1(120, 440), p2(520, 420), p3(330, 465);  // all on the ground

    hoverAt(p1);
    rightClick(p1);
    ASSERT_EQ(w().lengthStage, 1);
    hoverAt(p2);
    const double first = glm::length(groundUnder(p1) - groundUnder(p2)) / 10.0;
    EXPECT_NEAR(statusValue("m"), first, 0.011);
    EXPECT_EQ("Len: " + w().infoText, status);
    // The sky holds no point: the reading stays.
    const QPoint sky(600, 40);
    hoverAt(sky);
    EXPECT_NEAR(statusValue("m"), first, 0.011);
    EXPECT_EQ("Len: " + w().infoText, status);

    // A second click releases the first point: it follows the cursor again,
    // and a click on the sky fixes none.
    rightClick(p2);
    ASSERT_EQ(w().lengthStage, 0);
    rightClick(sky);
    EXPECT_EQ(w().lengthStage, 0);
    hoverAt(p3);
    EXPECT_NEAR(statusValue("m"), glm::length(groundUnder(p3) - groundUnder(p2)) / 10.0, 0.011);
}

// A straight shoot of four internodes along a slant whose end-to-end cosine
// rounds past -1 in single precision; its base at (0, 2, 0) on a trunk.
std::vector<Internode*> straightAxis(Tree* tree)
{
    tree->age = 2;
    tree->root->direction = glm::vec3(0.0f, 2.0f, 0.0f);
    tree->root->thickness = 0.3f;
    std::vector<Internode*> axis;
    Internode* node = tree->root;
    for (int i = 0; i < 4; ++i) {
        node = attachNode(node, 0, glm::vec3(0.1f, 1.0f, 0.18f), 0.15f, 1);
        axis.push_back(node);
    }
    closeWithBuds(tree->root, 1);
    return axis;
}

TEST_F(MeasuringTest, AngleAtTheCommonNode)
{
    FanTree fan;
    FanTree other(glm::vec3(-6.5f, 0.0f, 0.0f));
    Tree* straight = new Tree();
    straight->root->position = glm::vec3(5.0f, 0.0f, 0.0f);
    const std::vector<Internode*> axis = straightAxis(straight);

    struct Case {
        const char* name;
        Internode* first;
        Internode* second;
        Internode* common;  // null: the two lie in different trees
    };
    const std::vector<Case> cases = {
        {"two branches of the trunk", fan.c, fan.t, fan.root},
        {"across the leader", fan.t, fan.c, fan.root},
        {"one straight axis", axis[0], axis[3], axis[0]},
        {"different trees", fan.t, other.t, nullptr},
    };
    showTrees({fan.tree, other.tree, straight});
    w().mode = ModeAngle;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rightClick(pixelAlong(c.first, 0.5f));
        ASSERT_EQ(w().angleFirstId, idOf(c.first));
        status.clear();
        const std::string printed = stdoutOf([&] { hoverAt(pixelAlong(c.second, 0.5f)); });
        ASSERT_EQ(w().angleSecondId, idOf(c.second));
        EXPECT_EQ(countOf(printed, "A:"), 1);
        EXPECT_EQ(countOf(printed, "B:"), 1);
        EXPECT_EQ(countOf(printed, "OCE:"), c.common ? 1 : 0);
        if (!c.common) {
            EXPECT_EQ(status, QString("Len: nan") + QChar(0x00B0));
            continue;
        }
        const glm::dvec3 vertex = glm::dvec3(c.common->position) + glm::dvec3(c.common->direction);
        const glm::dvec3 toA = glm::dvec3(c.first->position) - vertex;
        const glm::dvec3 toB = glm::dvec3(c.second->position) - vertex;
        const double expected =
            std::acos(glm::clamp(glm::dot(toA, toB) / (glm::length(toA) * glm::length(toB)), -1.0, 1.0)) * 180.0 /
            M_PI;
        EXPECT_NEAR(statusValue(QString(QChar(0x00B0))), expected, 0.02);
    }
}

// The lines and the reading beside the cursor belong to the scene and the mode
// they were taken in: a new scene drops them all, another mode the reading.
TEST_F(MeasuringTest, AReadingBelongsToItsSceneAndItsMode)
{
    const QPoint ground(120, 440), otherGround(520, 420), sky(600, 40);
    auto measureLength = [&](FanTree&) {
        w().setMode(ModeLength);
        hoverAt(ground);
        rightClick(ground);
        hoverAt(otherGround);
        ASSERT_TRUE(w().infoText.endsWith("m"));
    };
    auto measureAngle = [&](FanTree& fan) {
        w().setMode(ModeAngle);
        rightClick(pixelAlong(fan.c, 0.5f));
        hoverAt(pixelAlong(fan.t, 0.5f));
        ASSERT_TRUE(w().infoText.endsWith(QChar(0x00B0)));
    };
    auto readValues = [&](FanTree& fan) {
        w().setMode(ModeInformation);
        hoverAt(pixelAlong(fan.c, 0.5f));
        ASSERT_TRUE(w().infoText.startsWith("v: "));
    };
    auto growAgain = [] { w().growOrRestart(true); };
    struct Case {
        const char* name;
        std::function<void(FanTree&)> read;
        std::function<void()> then;
        bool sceneReplaced;  // otherwise the mode changed: the lines stay
    };
    const std::vector<Case> cases = {
        {"a length, then Grow again", measureLength, growAgain, true},
        {"an angle, then Grow again", measureAngle, growAgain, true},
        {"an internode's values, then Grow again", readValues, growAgain, true},
        {"a length, then Angle measurement", measureLength, [] { w().setMode(ModeAngle); }, false},
        {"an angle, then Length measurement", measureAngle, [] { w().setMode(ModeLength); }, false},
        {"an internode's values, then Length measurement", readValues, [] { w().setMode(ModeLength); }, false},
    };
    const glm::vec3 none(0.0f);  // where the points stand before anything is measured
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        c.read(fan);
        const std::vector<glm::vec3> lines = {w().lengthPointA, w().lengthPointB, w().anglePointA,
                                              w().angleVertex, w().anglePointB};
        const int lengthStage = w().lengthStage;
        const QString shot = QString("reading_") + QString(c.name).replace(QRegularExpression("[^A-Za-z]+"), "_");
        fixture().paintAndCollectErrors();
        widgettest::keepScreenshot(fixture().grab(), shot + "_before");
        c.then();
        // Over the sky the last reading would stay: none may come back.
        hoverAt(sky);
        fixture().paintAndCollectErrors();
        widgettest::keepScreenshot(fixture().grab(), shot);
        EXPECT_TRUE(w().infoText.isEmpty()) << w().infoText.toStdString();
        const std::vector<glm::vec3> after = {w().lengthPointA, w().lengthPointB, w().anglePointA, w().angleVertex,
                                              w().anglePointB};
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(after[i], c.sceneReplaced ? none : lines[i]) << "point " << i;
        EXPECT_EQ(w().lengthStage, c.sceneReplaced ? 0 : lengthStage);
    }
}

TEST_F(MeasuringTest, PlantingAppendsAnUngrownTreeOnlyWhereTheGroundWasHit)
{
    struct Case {
        const char* name;
        QPoint pixel;
        bool planted;
    };
    const std::vector<Case> cases = {
        {"on the ground", QPoint(470, 450), true},
        {"left of the window", QPoint(-6, 450), false},
        {"below the window", QPoint(200, 490), false},
        {"on the sky", QPoint(40, 12), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        w().mode = ModeAngle;
        rightClick(pixelAlong(fan.t, 0.5f));
        ASSERT_GT(w().angleFirstId, 0);

        w().mode = ModePlanting;
        const glm::vec3 ground = groundUnder(c.pixel);
        status.clear();
        rightClick(c.pixel);
        ASSERT_EQ(allTrees.size(), c.planted ? 2u : 1u);
        EXPECT_EQ(status.startsWith("Nothing to plant on"), !c.planted) << status.toStdString();
        if (!c.planted)
            continue;
        const Tree* planted = allTrees.back();
        EXPECT_LT(glm::length(planted->root->position - ground), 0.05f);
        EXPECT_EQ(planted->age, 0);
        EXPECT_TRUE(planted->root->isBud);
        // The trees changed: the first angle pick named a node of the old table.
        EXPECT_EQ(w().angleFirstId, 0);

        const std::string printed = stdoutOf([&] { w().growOrRestart(false); });
        std::ostringstream address;
        address << "tree: " << static_cast<const void*>(planted) << " ";
        EXPECT_GE(countOf(printed, address.str()), 1);
        EXPECT_EQ(planted->age, 1);
        EXPECT_FALSE(planted->root->isBud);
    }
}

}  // namespace
