// The light-histogram chart and dialog, drawn on the offscreen platform: bar
// pixels worked out from the chart's geometry, the scale labels compared with
// the same texts drawn by hand, and the dialog's hook into the light pass.

#include <algorithm>
#include <functional>

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/dialoghistogram.h"
#include "app/painthistogram.h"
#include "model/histogramstore.h"
#include "model/lightpass.h"
#include "model/tree.h"
#include "support/recording_environment.h"

namespace {

// With a widget of 845 x 330: plot width I = 800, plot height K = 300, bar
// slot J = 80. Bar k spans x = 35 + 5 + 80 k up to 69 pixels to the right, and
// the base line lies at y = K - 5 = 295.
constexpr int chartWidth = 845;
constexpr int chartHeight = 330;
constexpr int baseLine = 295;

int barLeft(int k) { return 40 + 80 * k; }

void setBins(std::initializer_list<int> values)
{
    int* bins = histogramStore().bins;
    std::fill(bins, bins + HistogramStore::binCount, 0);
    std::copy(values.begin(), values.end(), bins);
}

QImage renderChart()
{
    PaintHistogram chart;
    chart.resize(chartWidth, chartHeight);
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    chart.render(&image);
    return image;
}

bool isBarColour(QRgb pixel, int k)
{
    return pixel == qRgb(255, (255 * k) / 10, 0);
}

// Pixels of the region for which `test` holds.
int countPixels(const QImage& image, const QRect& region, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Navy text on white or on a bar: clearly more blue than red.
bool isBluish(QRgb pixel) { return qBlue(pixel) > qRed(pixel) + 40; }

// Red to yellow with no blue: a bar.
bool isBarLike(QRgb pixel) { return qRed(pixel) == 255 && qBlue(pixel) == 0 && qGreen(pixel) < 255; }

// Draws one scale label the way the chart's labels are drawn: right-aligned in
// `box`, axis pen, the widget's font, on white, through the same paint path.
class LabelProbe : public QWidget {
public:
    LabelProbe(const QString& text, const QRect& box) : text_(text), box_(box) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QColor(64, 64, 64));
        painter.drawText(box_, Qt::AlignRight | Qt::AlignVCenter, text_);
    }

private:
    QString text_;
    QRect box_;
};

QImage referenceLabel(const QString& text, const QRect& box)
{
    LabelProbe probe(text, box);
    probe.resize(chartWidth, chartHeight);
    QImage image(probe.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    probe.render(&image);
    return image;
}

bool sameRegion(const QImage& a, const QImage& b, const QRect& region)
{
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

}  // namespace

class HistogramTest : public QObject {
    Q_OBJECT

private slots:
    void init() { histogramStore().onChanged = nullptr; }

    void barsFollowThePercentScale()
    {
        // S = 4, largest 2: the scale tops at 50 %, which 2 buds reach.
        setBins({1, 1, 2});
        const QImage image = renderChart();

        // Bin 2 reaches the top: rows 5 to 294, in its class colour.
        QVERIFY(isBarColour(image.pixel(barLeft(2) + 2, 5), 2));
        QVERIFY(isBarColour(image.pixel(barLeft(2) + 2, baseLine - 1), 2));
        QVERIFY(!isBarColour(image.pixel(barLeft(2) + 2, 4), 2));
        // Bins 0 and 1 reach half of it: K - 150 + 5 = 155 down to 294.
        for (int k : {0, 1}) {
            QVERIFY(isBarColour(image.pixel(barLeft(k) + 2, 155), k));
            QVERIFY(isBarColour(image.pixel(barLeft(k) + 2, baseLine - 1), k));
            QCOMPARE(image.pixel(barLeft(k) + 2, 150), qRgb(255, 255, 255));
        }
        // Bar width J - 10 = 70.
        QVERIFY(isBarColour(image.pixel(barLeft(2) + 69, 100), 2));
        QCOMPARE(image.pixel(barLeft(2) + 70, 100), qRgb(255, 255, 255));
        // Empty classes have no bar.
        for (int k = 3; k < 10; ++k)
            QCOMPARE(countPixels(image, QRect(barLeft(k), 0, 70, baseLine), isBarLike), 0);
        // Axes: the vertical at x = 35 + 5, the base line across.
        QCOMPARE(image.pixel(40, 100), qRgb(64, 64, 64));
        QCOMPARE(image.pixel(500, baseLine), qRgb(64, 64, 64));

        // Each drawn bar carries its percentage.
        QVERIFY(countPixels(image, QRect(barLeft(2), 5, 70, 290), isBluish) > 0);
        QVERIFY(countPixels(image, QRect(barLeft(0), 155, 70, 140), isBluish) > 0);

        const QRect top(0, 0, 32, 10);
        const QRect bottom(0, 290, 32, 10);
        QVERIFY(sameRegion(image, referenceLabel("50 %", top), top));
        QVERIFY(sameRegion(image, referenceLabel("0 %", bottom), bottom));
    }

    void barBelowTenPixelsIsNotDrawn()
    {
        // S = 100, largest 99: the scale tops at 99 %; one bud is 300 / 99,
        // about 3 pixels, less than the 10-pixel margin.
        setBins({1, 99});
        const QImage image = renderChart();
        QCOMPARE(countPixels(image, QRect(barLeft(0), 0, 70, baseLine), isBarLike), 0);
        QVERIFY(isBarColour(image.pixel(barLeft(1) + 2, 10), 1));
        const QRect top(0, 0, 32, 10);
        QVERIFY(sameRegion(image, referenceLabel("99 %", top), top));
    }

    void emptyHistogramDrawsTheFrameOnly()
    {
        // No young buds at all (a tree fully shed): no scale to compute.
        setBins({});
        const QImage image = renderChart();

        QCOMPARE(countPixels(image, image.rect(), isBarLike), 0);
        QCOMPARE(countPixels(image, image.rect(), isBluish), 0);
        QCOMPARE(image.pixel(40, 100), qRgb(64, 64, 64));
        QCOMPARE(image.pixel(500, baseLine), qRgb(64, 64, 64));

        const QRect top(0, 0, 32, 10);
        const QRect bottom(0, 290, 32, 10);
        QVERIFY(sameRegion(image, referenceLabel("0 %", top), top));
        QVERIFY(sameRegion(image, referenceLabel("0 %", bottom), bottom));

        auto isInk = [](QRgb p) { return qRed(p) < 200; };
        // Class labels under the base line, the title along the bottom and the
        // rotated axis title along the left edge.
        QVERIFY(countPixels(image, QRect(barLeft(4), baseLine + 1, 70, 14), isInk) > 0);
        QVERIFY(countPixels(image, QRect(0, chartHeight - 15, chartWidth, 15), isInk) > 0);
        QVERIFY(countPixels(image, QRect(10, 20, 10, chartHeight - 60), isInk) > 0);
    }

    void dialogBuildsItsForm()
    {
        DialogHistogram dialog;
        QCOMPARE(dialog.objectName(), QString("DialogHistogram"));
        QCOMPARE(dialog.size(), QSize(713, 503));
        QCOMPARE(dialog.windowTitle(), QString("Light interception histogram"));
        auto* layout = dialog.findChild<QHBoxLayout*>("horizontalLayout");
        QVERIFY(layout);
        QCOMPARE(layout, dialog.layout());
        auto* chart = dialog.findChild<PaintHistogram*>("widget");
        QVERIFY(chart);
        QCOMPARE(layout->indexOf(chart), 0);
    }

    void dialogRepaintsOncePerTreeWhileItExists()
    {
        RecordingEnvironment::reset(0.5f);
        deleteAllTrees();
        allTrees.push_back(new Tree());
        allTrees.push_back(new Tree());

        auto* dialog = new DialogHistogram;
        QVERIFY(histogramStore().onChanged);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        PaintCounter counter;
        dialog->findChild<PaintHistogram*>("widget")->installEventFilter(&counter);

        lightAndAllocationPass();
        QCOMPARE(counter.paints, 2);

        delete dialog;
        QVERIFY(!histogramStore().onChanged);
        // With no dialog the pass notifies nobody, and nothing dangles.
        lightAndAllocationPass();
        deleteAllTrees();
    }

    void hiddenDialogPaintsNothing()
    {
        DialogHistogram dialog;
        PaintCounter counter;
        dialog.findChild<PaintHistogram*>("widget")->installEventFilter(&counter);
        notifyHistogramChanged();
        QCOMPARE(counter.paints, 0);
    }
};

QTEST_MAIN(HistogramTest)
#include "histogram_test.moc"
