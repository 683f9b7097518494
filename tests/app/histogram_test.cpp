// The light-histogram chart and dialog on the offscreen platform: bar pixels
// worked out from the chart's geometry, scale labels compared with the same
// texts drawn by hand, and the dialog's hook into the light pass.

#include <algorithm>
#include <functional>

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/dialoghistogram.h"
#include "app/painthistogram.h"
#include "environment/environment.h"
#include "model/histogramstore.h"
#include "model/lightpass.h"
#include "model/tree.h"
#include "support/paintcounter.h"
#include "support/streamcapture.h"

namespace {

// A widget of 845 x 330: plot width 800, plot height 300, bar slot 80. Bar k
// spans x = 35 + 5 + 80 k and 70 pixels to the right; the base line is y = 295.
constexpr int chartWidth = 845, chartHeight = 330, baseLine = 295;
int barLeft(int k) { return 40 + 80 * k; }
const QRect topLabel(0, 0, 32, 10), bottomLabel(0, 290, 32, 10);

template <typename Widget>
QImage render(Widget& widget)
{
    widget.resize(chartWidth, chartHeight);
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

QImage renderChart(std::initializer_list<int> values)
{
    int* bins = histogramStore().bins;
    std::fill(bins, bins + HistogramStore::binCount, 0);
    std::copy(values.begin(), values.end(), bins);
    PaintHistogram chart;
    return render(chart);
}

bool isBarColour(QRgb pixel, int k) { return pixel == qRgb(255, (255 * k) / 10, 0); }
bool isBarLike(QRgb pixel) { return qRed(pixel) == 255 && qBlue(pixel) == 0 && qGreen(pixel) < 255; }
bool isBluish(QRgb pixel) { return qBlue(pixel) > qRed(pixel) + 40; }  // navy text on white or a bar

int countPixels(const QImage& image, const QRect& region, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Whether `box` of the chart shows `text` as a scale label is drawn: right-aligned,
// axis pen, the widget's font, on white, through the same paint path.
bool showsLabel(const QImage& chart, const QRect& box, const QString& text)
{
    struct Probe : QWidget {
        QString text;
        QRect box;
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.fillRect(rect(), Qt::white);
            painter.setPen(QColor(64, 64, 64));
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
        }
    } probe;
    probe.text = text;
    probe.box = box;
    const QImage expected = render(probe);
    return chart.copy(box) == expected.copy(box);
}


}  // namespace

class HistogramTest : public QObject {
    Q_OBJECT

private slots:
    void barsFollowThePercentScale()
    {
        // Bins 1, 1, 2: S = 4, largest 2, so the scale tops at 50 %, which bin 2
        // reaches (rows 5 to 294); bins 0 and 1 reach half of it (155 to 294).
        const QImage image = renderChart({1, 1, 2});
        for (auto [k, top] : {std::pair<int, int>{0, 155}, {1, 155}, {2, 5}}) {
            QVERIFY(isBarColour(image.pixel(barLeft(k) + 2, top), k));
            QVERIFY(isBarColour(image.pixel(barLeft(k) + 2, baseLine - 1), k));
            QVERIFY(!isBarColour(image.pixel(barLeft(k) + 2, baseLine + 1), k));
            QCOMPARE(image.pixel(barLeft(k) + 2, top - 1), qRgb(255, 255, 255));
            QVERIFY(countPixels(image, QRect(barLeft(k), top, 70, baseLine - top), isBluish) > 0);  // its percentage
        }
        QVERIFY(isBarColour(image.pixel(barLeft(2) + 69, 100), 2));
        QCOMPARE(image.pixel(barLeft(2) + 70, 100), qRgb(255, 255, 255));
        QCOMPARE(countPixels(image, QRect(barLeft(3), 0, 7 * 80, chartHeight), isBarLike), 0);
        QCOMPARE(image.pixel(40, 100), qRgb(64, 64, 64));  // the axes
        QCOMPARE(image.pixel(500, baseLine), qRgb(64, 64, 64));
        QVERIFY(showsLabel(image, topLabel, "50 %"));
        QVERIFY(showsLabel(image, bottomLabel, "0 %"));

        // Bins 1, 99: the scale tops at 99 %; one bud is 300 / 99, about 3 pixels,
        // less than the 10-pixel margin, so bin 0 has no bar.
        const QImage edge = renderChart({1, 99});
        QCOMPARE(countPixels(edge, QRect(barLeft(0), 0, 70, chartHeight), isBarLike), 0);
        QVERIFY(isBarColour(edge.pixel(barLeft(1) + 2, 10), 1));
        QVERIFY(showsLabel(edge, topLabel, "99 %"));
    }

    void emptyHistogramDrawsTheFrameOnly()
    {
        // No young buds at all (a tree fully shed): no bars, no percentages.
        const QImage image = renderChart({});
        QCOMPARE(countPixels(image, image.rect(), isBarLike), 0);
        QCOMPARE(countPixels(image, image.rect(), isBluish), 0);
        QCOMPARE(image.pixel(40, 100), qRgb(64, 64, 64));
        QCOMPARE(image.pixel(500, baseLine), qRgb(64, 64, 64));
        QVERIFY(showsLabel(image, topLabel, "0 %"));
        QVERIFY(showsLabel(image, bottomLabel, "0 %"));
        // Class labels under the base line, the title along the bottom, the
        // rotated axis title along the left edge.
        auto isInk = [](QRgb p) { return qRed(p) < 200; };
        QVERIFY(countPixels(image, QRect(barLeft(4), baseLine + 1, 70, 14), isInk) > 0);
        QVERIFY(countPixels(image, QRect(0, chartHeight - 15, chartWidth, 15), isInk) > 0);
        QVERIFY(countPixels(image, QRect(10, 20, 10, chartHeight - 60), isInk) > 0);
    }

    void dialogRepaintsOncePerTreeWhileShownAndExisting()
    {
        StreamCapture printed(std::cout);  // the pass's lines
        Environment::create()->type = 1;  // every young bud gets light 1
        deleteAllTrees();
        allTrees.push_back(new Tree());
        allTrees.push_back(new Tree());

        auto* dialog = new DialogHistogram;
        QCOMPARE(dialog->size(), QSize(713, 503));
        QCOMPARE(dialog->windowTitle(), QString("Light interception histogram"));
        auto* chart = dialog->findChild<PaintHistogram*>("widget");
        QVERIFY(chart);
        QCOMPARE(dialog->findChild<QHBoxLayout*>("horizontalLayout")->indexOf(chart), 0);
        PaintCounter counter;
        chart->installEventFilter(&counter);
        lightAndAllocationPass();
        QCOMPARE(counter.paints, 0);  // hidden

        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        counter.paints = 0;
        lightAndAllocationPass();
        QCOMPARE(counter.paints, 2);

        delete dialog;
        QVERIFY(!histogramStore().onChanged);
        lightAndAllocationPass();  // notifies nobody, and nothing dangles
        deleteAllTrees();
    }
};

QTEST_MAIN(HistogramTest)
#include "histogram_test.moc"
