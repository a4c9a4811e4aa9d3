// Prints how long the voltage record takes to set up and draw, to take one sample, and to go
// to and from a record file, for records of 600, 19200 and 32767 points; and what keeping a
// record of 32767 points on disk as it is taken costs per sample.
#include "recorder/LiveRecordFile.h"
#include "recorder/RecordArithmetic.h"
#include "recorder/RecordFileReader.h"
#include "recorder/RecordFileWriter.h"
#include "recorder/RecordModel.h"
#include "recorder/ui/VoltageChartView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace quarvel;

namespace {
double msSince(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("%-8s %16s %16s %10s %10s\n", "points", "setup+redraw ms", "one sample ms", "save ms", "load ms");
    for (const auto& [seconds, minutes] : {std::pair{"1", "10"}, {"1", "320"}, {"1", "546.1167"}}) {
        RecordSettings settings;
        if (const QString problem = checkRecordSettings(seconds, minutes, settings); !problem.isEmpty()) {
            std::printf("%s\n", qPrintable(problem));
            return 1;
        }
        RecordModel model;
        VoltageChartView view(model);
        view.resize(425, 313);
        view.show();
        app.processEvents();

        QElapsedTimer clock;
        clock.start();
        model.setupVoltageChart(settings.seconds, settings.minutes);
        model.clearVoltageChart();
        view.repaint();
        const double setup = msSince(clock);

        // Fill the record as acquisition would, then time single samples with their repaint.
        std::vector<std::optional<double>> values;
        for (int k = 0; k < model.pointCount(); ++k)
            values.push_back(7.2 + 1.2 * std::exp(-k / 1800.0));
        model.setValues(1, values);
        view.repaint();
        constexpr int kSamples = 50;
        clock.restart();
        for (int s = 0; s < kSamples; ++s) {
            const int point = model.pointCount() - kSamples + s + 1;
            model.setValue(point, 7.3 + s / 1000.0);
            model.setCursor(point + 1);
            view.repaint();
        }
        const double sample = msSince(clock) / kSamples;

        RecordFileContent content{"1.1.2024", "bench", seconds, minutes, {}, model.rawValues()};
        for (int k = 1; k <= model.pointCount(); ++k)
            content.labels.append(model.label(k));
        const QString path = dir.filePath("bench.csv");
        clock.restart();
        const QString saveError = RecordFileWriter::save(path, content);
        const double save = msSince(clock);
        clock.restart();
        const RecordFileLoad load = RecordFileReader::load(path, "1", "10");
        model.setupVoltageChart(load.settings->seconds, load.settings->minutes);
        model.setPoints(1, load.labels, load.values);
        const double loadMs = msSince(clock);
        if (!saveError.isEmpty() || !load.error.isEmpty()) {
            std::printf("file error: %s%s\n", qPrintable(saveError), qPrintable(load.error));
            return 1;
        }
        std::printf("%-8d %16.2f %16.3f %10.2f %10.2f\n", model.pointCount(), setup, sample, save, loadMs);
    }
    // Keeping a record on disk as it is taken, at 32767 points: one more sample written in place,
    // the whole file written again (at a doubling), and a sync to the disk (at most every 5 s).
    RecordSettings full;
    checkRecordSettings("1", "546.1167", full);
    RecordModel model;
    model.setupVoltageChart(full.seconds, full.minutes);
    RecordFileContent content{"1.1.2024", "", "1", "546.1167", {}, model.rawValues()};
    for (int k = 1; k <= model.pointCount(); ++k)
        content.labels.append(model.label(k));
    LiveRecordFile kept(dir.filePath("kept.csv"));
    QElapsedTimer clock;
    clock.start();
    QString error = kept.writeWhole(content);
    const double whole = msSince(clock);
    constexpr int kKept = 2000;
    clock.restart();
    for (int s = 1; s <= kKept && error.isEmpty(); ++s)
        error = kept.writeValue(model.pointCount() - kKept + s, 7.3 + s / 10000.0);
    const double keepOne = msSince(clock) / kKept;
    clock.restart();
    if (error.isEmpty())
        error = kept.sync();
    const double sync = msSince(clock);
    if (!error.isEmpty()) {
        std::printf("keeping error: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("keeping a record of %d points on disk: one more sample %.4f ms, whole file (a doubling) %.2f ms, "
                "sync %.2f ms\n", model.pointCount(), keepOne, whole, sync);
    std::printf("goals: setup+redraw of 32767 < 100 ms, one sample < 2 ms, save or load of 32767 < 100 ms, "
                "keeping one more sample at 32767 points <= 2 ms\n");
    return 0;
}
