// Prints how long a chart takes to draw with comparisons: quarvel-cli plot's work (read three
// record files of 32767 points, draw them with limit lines, write the PNG), and the Record tab's
// redraw of a 32767-point record with three overlays of 32767 points and limit lines.
#include "link/Prompter.h"
#include "recorder/RecordArithmetic.h"
#include "recorder/RecordCurve.h"
#include "recorder/RecordFileWriter.h"
#include "recorder/RecordModel.h"
#include "recorder/image/ChartImageFile.h"
#include "recorder/image/ChartPainter.h"
#include "recorder/ui/ChartTools.h"
#include "recorder/ui/VoltageChartView.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace quarvel;

namespace {

class SilentPrompter : public Prompter {
public:
    void inform(const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
    bool askYesNo(const QString&) override { return false; }
    QString askText(const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

double msSince(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// A discharge curve of 32767 points, one a second, with a gap.
QString writeRecord(const QTemporaryDir& dir, const QString& name, double start)
{
    RecordFileContent content{"1.1.2025", name, "1", "546.1167", {}, {}};
    for (int k = 0; k < kMaxRecordPoints; ++k) {
        content.labels.append(timeLabel(k, 1));
        content.values.push_back(k % 5000 < 30 ? NAN : start - 1.4 * k / kMaxRecordPoints + 0.02 * std::sin(k / 40.0));
    }
    const QString path = dir.filePath(name + ".csv");
    if (const QString error = RecordFileWriter::save(path, content); !error.isEmpty())
        std::printf("%s\n", qPrintable(error));
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList files{writeRecord(dir, "pack 1", 8.4), writeRecord(dir, "pack 2", 8.3),
                            writeRecord(dir, "pack 3", 8.2), writeRecord(dir, "pack 4", 8.1)};

    // quarvel-cli plot a.csv b.csv c.csv -o chart.png --limits 8.4,7.4,7
    QElapsedTimer clock;
    clock.start();
    ChartScene scene;
    scene.limits = {8.4, 7.4, 7.0};
    for (int i = 0; i < 3; ++i) {
        const RecordCurveLoad load = loadRecordCurve(files[i]);
        (i == 0 ? scene.record : scene.overlays.emplace_back()) = load.curve;
    }
    const QSize size(800, 500);
    const QString error = saveChartImage(dir.filePath("chart.png"), size, [&](QPainter& painter) {
        ChartPainter::paint(painter, QRectF(QPointF(0, 0), size), scene);
    });
    const double plot = msSince(clock);
    if (!error.isEmpty())
        std::printf("%s\n", qPrintable(error));

    // The Record tab's chart with three overlays and the limit lines.
    SilentPrompter prompter;
    RecordModel model;
    VoltageChartView view(model);
    view.resize(640, 420);
    view.show();
    ChartTools tools(&view, model, prompter, [] { return 1.0; });
    tools.setLevelSource([](ChartTools::Profile) { return VoltageLimits{8.4, 7.4, 7.0}; });
    tools.limitsChoice()->setCurrentIndex(ChartTools::ProfileA);
    for (int i = 1; i < 4; ++i)
        tools.addOverlay(files[i]);
    const RecordCurveLoad record = loadRecordCurve(files[0]);
    model.setupVoltageChart(1, 546.1167f);
    app.processEvents();

    std::vector<std::optional<double>> values;
    for (const double v : record.curve.values)
        values.push_back(std::isnan(v) ? std::nullopt : std::optional<double>(v));
    clock.restart();
    model.setValues(1, values);
    view.repaint();
    const double redraw = msSince(clock);
    constexpr int kSamples = 50;
    clock.restart();
    for (int s = 0; s < kSamples; ++s) {
        model.setValue(kMaxRecordPoints - kSamples + s + 1, 7.1);
        view.repaint();
    }
    const double sample = msSince(clock) / kSamples;
    clock.restart();
    view.resize(900, 500);
    view.repaint();
    const double resize = msSince(clock);

    std::printf("%-58s %8.1f ms (goal < 300)\n", "plot: 3 files of 32767 points, limits, PNG 800x500", plot);
    std::printf("%-58s %8.1f ms (goal < 100)\n", "tab: redraw of 32767 points, 3 overlays of 32767, limits", redraw);
    std::printf("%-58s %8.1f ms (goal < 100)\n", "tab: resized, every curve drawn again", resize);
    std::printf("%-58s %8.2f ms\n", "tab: one sample with its repaint", sample);
    return 0;
}
