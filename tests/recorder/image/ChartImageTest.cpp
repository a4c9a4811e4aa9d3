// Chart images drawn without a display: a valid PNG or SVG of the size asked for, with and
// without limit lines, and no file for a name that is neither.
#include "recorder/image/ChartImageFile.h"
#include "recorder/image/ChartPainter.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

using namespace quarvel;

class ChartImageTest : public QObject {
    Q_OBJECT
private slots:
    void image_hasTheSizeAskedFor_data();
    void image_hasTheSizeAskedFor();
    void markDifference_readsAsTimeAndVoltage();
};

void ChartImageTest::image_hasTheSizeAskedFor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("limits");
    QTest::newRow("png") << "chart.png" << false;
    QTest::newRow("png with limits") << "chart.PNG" << true;
    QTest::newRow("svg") << "chart.svg" << false;
    QTest::newRow("svg with limits") << "chart.svg" << true;
}

void ChartImageTest::image_hasTheSizeAskedFor()
{
    QFETCH(QString, name);
    QFETCH(bool, limits);
    ChartScene scene;
    scene.record = {"pack 3", 1, {8.2, 8.1, NAN, 7.6, 7.3}};
    scene.overlays.append({"pack 4", 2, {8.0, 7.5, 7.1}});
    if (limits)
        scene.limits = {8.4, 7.4, 7.0};
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QSize size(640, 360);
    QCOMPARE(saveChartImage(path, size, [&](QPainter& p) { ChartPainter::paint(p, QRectF(0, 0, 640, 360), scene); }),
             QString());
    if (name.endsWith(".svg")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd() && !(xml.isStartElement() && xml.name() == QLatin1String("svg")))
            xml.readNext();
        QCOMPARE(xml.attributes().value("width").toString(), QString("640"));
        QCOMPARE(xml.attributes().value("height").toString(), QString("360"));
        QCOMPARE(xml.attributes().value("viewBox").toString(), QString("0 0 640 360"));
        QCOMPARE(bytes.contains("Warning 7.4 V"), limits);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        return;
    }
    QImage image;
    QVERIFY(image.load(path, "PNG"));
    QCOMPARE(image.size(), size);
    // The rows that hold a pixel of about this colour (the lines are smoothed).
    const auto rowsWith = [&image](const QColor& c) {
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                if (qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue()) < 60) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    // The record falls across many rows (its legend line takes one or two); the limit lines'
    // colour is there only when they are drawn.
    QVERIFY(rowsWith(ChartPainter::curveColour(0)) > 20);
    QCOMPARE(rowsWith(QColor(0xc8, 0x78, 0x00)) > 0, limits);

    QVERIFY(saveChartImage(dir.filePath("chart.gif"), size, [](QPainter&) {}).contains(".png or .svg"));
    QVERIFY(!QFile::exists(dir.filePath("chart.gif")));
}

void ChartImageTest::markDifference_readsAsTimeAndVoltage()
{
    QCOMPARE(ChartPainter::markDifference({1.5, 8.1}, {4, 7.62}), QString("Δt 2.5 min, ΔV -0.48 V"));
}

QTEST_MAIN(ChartImageTest)
#include "ChartImageTest.moc"
