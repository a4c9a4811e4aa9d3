#include "PlotSegments.h"
#include "RecordArithmetic.h"
#include "RecordModel.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

using namespace quarvel;

namespace {
RecordSettings settingsOf(const QString& s, const QString& t)
{
    RecordSettings settings;
    const QString problem = checkRecordSettings(s, t, settings);
    if (!problem.isEmpty())
        qWarning() << problem;
    return settings;
}
} // namespace

class RecordModelTest : public QObject {
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void setup_data();
    void setup();
    void labelSpacing_data();
    void labelSpacing();
    void badSettings_data();
    void badSettings();
    void interval_data();
    void interval();
    void doublingTickByTick();
    void setupKeepsValuesAndClearZeroes();
    void segmentsBreakAtGapsAndKeepExtremes();
    void voltageRangeHoldsValues_data();
    void voltageRangeHoldsValues();
};

void RecordModelTest::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // NaN: not a number
    QTest::newRow("plain") << "7.52" << 7.52;
    QTest::newRow("blanks around") << "  7.5 " << 7.5;
    QTest::newRow("plus sign") << "+1" << 1.0;
    QTest::newRow("minus sign") << "-0.25" << -0.25;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("two signs") << "+-1" << double(NAN);
    QTest::newRow("sign only") << "+" << double(NAN);
    QTest::newRow("decimal comma") << "1,5" << double(NAN);
    QTest::newRow("hex") << "0x10" << double(NAN);
    QTest::newRow("trailing text") << "7V" << double(NAN);
    QTest::newRow("infinity") << "inf" << double(NAN);
    QTest::newRow("empty") << "" << double(NAN);
    QTest::newRow("beyond Latin-1") << QString::fromUtf8("7\u20ac") << double(NAN);
}

void RecordModelTest::numbers()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto number = numberOf(text);
    if (std::isnan(value))
        QVERIFY(!number);
    else
        QCOMPARE(number, std::optional<double>(value));
}

void RecordModelTest::setup_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("t");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QStringList>("firstLabels");
    QTest::addColumn<QString>("lastLabel");
    QTest::newRow("defaults") << "1" << "10" << 600 << 60 << QStringList{"0", "0.01666667", "0.03333334"} << "9.983334";
    QTest::newRow("two points") << "30" << "1" << 2 << 1 << QStringList{"0", "0.5"} << "0.5";
    QTest::newRow("single 0.3 above 0.3") << "0.3" << "10" << 1999 << 200 << QStringList{"0", "0.005"} << "9.990001";
    QTest::newRow("stored record") << "1" << "5" << 300 << 30 << QStringList{"0"} << "4.983333";
    QTest::newRow("largest") << "1" << "546.1166" << 32766 << 3277 << QStringList{"0"} << "546.0833";
    QTest::newRow("one point") << "60" << "1" << 1 << 1 << QStringList{"0"} << "0";
}

void RecordModelTest::setup()
{
    QFETCH(QString, s);
    QFETCH(QString, t);
    QFETCH(int, points);
    QFETCH(int, spacing);
    QFETCH(QStringList, firstLabels);
    QFETCH(QString, lastLabel);
    const RecordSettings settings = settingsOf(s, t);
    QCOMPARE(settings.points, points);
    RecordModel model;
    QSignalSpy layout(&model, &RecordModel::layoutChanged);
    model.setupVoltageChart(settings.seconds, settings.minutes);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(model.pointCount(), points);
    QCOMPARE(model.labelSpacing(), spacing);
    QCOMPARE(model.cursor(), 1);
    for (int k = 0; k < firstLabels.size(); ++k)
        QCOMPARE(model.label(k + 1), firstLabels[k]);
    QCOMPARE(model.label(points), lastLabel);
}

void RecordModelTest::labelSpacing_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("spacing");
    QTest::newRow("15 rounds half to even 2") << 15 << 2;
    QTest::newRow("25 rounds half to even 2") << 25 << 2;
    QTest::newRow("35 rounds half to even 4") << 35 << 4;
    QTest::newRow("600") << 600 << 60;
    QTest::newRow("5 would be 0") << 5 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("32767") << 32767 << 3277;
}

void RecordModelTest::labelSpacing()
{
    QFETCH(int, points);
    QFETCH(int, spacing);
    QCOMPARE(quarvel::labelSpacing(points), spacing);
}

void RecordModelTest::badSettings_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("t");
    QTest::addColumn<QString>("words");
    QTest::newRow("S not a number") << "abc" << "10" << "not a valid number of seconds";
    QTest::newRow("S empty") << "" << "10" << "not a valid number of seconds";
    QTest::newRow("S zero") << "0" << "10" << "not a valid number of seconds";
    QTest::newRow("S negative") << "-1" << "10" << "not a valid number of seconds";
    QTest::newRow("S infinite") << "inf" << "10" << "not a valid number of seconds";
    QTest::newRow("S beyond a single") << "1e39" << "10" << "not a valid number of seconds";
    QTest::newRow("T comma decimal") << "1" << "1,5" << "not a valid total record time";
    QTest::newRow("T zero") << "1" << "0" << "not a valid total record time";
    QTest::newRow("no point") << "120" << "1" << "at least 1";
    QTest::newRow("too many points") << "1" << "640" << "38400 points";
    QTest::newRow("S underflows a single") << "1e-50" << "1" << "greater than 0";
}

void RecordModelTest::badSettings()
{
    QFETCH(QString, s);
    QFETCH(QString, t);
    QFETCH(QString, words);
    RecordSettings settings;
    const QString problem = checkRecordSettings(s, t, settings);
    QVERIFY2(problem.contains(words), qPrintable(problem));
    QCOMPARE(settings.points, 0);
}

void RecordModelTest::interval_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("ms"); // 0: refused
    QTest::newRow("1") << "1" << 1000;
    QTest::newRow("0.25") << "0.25" << 250;
    QTest::newRow("2.5") << "2.5" << 2500;
    QTest::newRow("1.0005 half to even") << "1.0005" << 1000;
    QTest::newRow("0.0025 half to even") << "0.0025" << 2;
    QTest::newRow("0.0004 rounds to 0") << "0.0004" << 0;
    QTest::newRow("beyond a timer") << "3000000" << 0;
    QTest::newRow("not a number") << "x" << 0;
}

void RecordModelTest::interval()
{
    QFETCH(QString, s);
    QFETCH(int, ms);
    QCOMPARE(sampleIntervalMs(s).value_or(0), ms);
}

void RecordModelTest::doublingTickByTick()
{
    // S = 30, T = 1: each time the cursor reaches the last point the total time doubles.
    QString minutes = "1";
    RecordModel model;
    RecordSettings settings = settingsOf("30", minutes);
    model.setupVoltageChart(settings.seconds, settings.minutes);
    model.clearVoltageChart();
    const QList<QStringList> totalsAndLabels = {
        {"1", "0", "0.5"},
        {"2", "0", "0.5", "1", "1.5"},
        {"2", "0", "0.5", "1", "1.5"},
        {"4", "0", "0.5", "1", "1.5", "2", "2.5", "3", "3.5"},
    };
    for (int tick = 1; tick <= 4; ++tick) {
        if (model.cursor() >= model.pointCount()) {
            const int at = model.cursor();
            minutes = doubledMinutesText(minutes);
            settings = settingsOf("30", minutes);
            model.setupVoltageChart(settings.seconds, settings.minutes);
            model.setCursor(at);
        }
        model.setValue(model.cursor(), 7.0 + tick / 10.0);
        model.setCursor(model.cursor() + 1);
        const QStringList expected = totalsAndLabels[tick - 1];
        QCOMPARE(minutes, expected.first());
        QCOMPARE(model.pointCount(), expected.size() - 1);
        for (int k = 1; k < expected.size(); ++k)
            QCOMPARE(model.label(k), expected[k]);
        for (int k = 1; k <= tick; ++k)
            QCOMPARE(model.value(k).value_or(-1), 7.0 + k / 10.0);
    }
    QCOMPARE(model.cursor(), 5);
    QCOMPARE(doubledMinutesText("2.5"), QString("5"));
    QCOMPARE(doubledMinutesText("0.1"), QString("0.2"));
}

void RecordModelTest::setupKeepsValuesAndClearZeroes()
{
    RecordModel model;
    model.setupVoltageChart(30, 1);
    model.setValue(1, 7.5);
    model.setValue(2, std::nullopt);
    model.setupVoltageChart(30, 2);
    QCOMPARE(model.value(1), std::optional<double>(7.5));
    QVERIFY(!model.value(2));
    QVERIFY(!model.value(4)); // added by the extension: not sampled yet
    model.setValue(4, 7.4);
    model.setupVoltageChart(30, 0.5); // one point: the others go
    model.setupVoltageChart(30, 2);
    QCOMPARE(model.value(1), std::optional<double>(7.5));
    QVERIFY(!model.value(4)); // beyond the previous count: no value
    model.setCursor(3);
    model.clearVoltageChart();
    QCOMPARE(model.cursor(), 1);
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(model.value(k), std::optional<double>(0.0));
    model.setValue(3, NAN);
    QVERIFY(!model.value(3));
}

void RecordModelTest::segmentsBreakAtGapsAndKeepExtremes()
{
    std::vector<double> values = {7, 7.1, NAN, NAN, 7.3, 7.4, NAN};
    auto segments = PlotSegments::build(values, 0, 6, 100);
    QCOMPARE(segments.size(), 2);
    QCOMPARE(segments[0], (QList<QPointF>{{0, 7}, {1, 7.1}}));
    QCOMPARE(segments[1], (QList<QPointF>{{4, 7.3}, {5, 7.4}}));

    values.assign(1000, 8.0);
    values[123] = 2.0;
    values[777] = 9.0;
    values[500] = NAN;
    segments = PlotSegments::build(values, 0, 999, 10);
    int points = 0;
    double low = 100, high = 0;
    for (const auto& segment : segments) {
        points += segment.size();
        for (const QPointF& p : segment) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
            QCOMPARE(values[static_cast<size_t>(p.x())], p.y());
        }
    }
    QVERIFY(points <= 20);
    QCOMPARE(low, 2.0);
    QCOMPARE(high, 9.0);
    QVERIFY(PlotSegments::build(values, 5, 4, 10).isEmpty());
}

void RecordModelTest::voltageRangeHoldsValues_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::newRow("pack") << 7.21 << 8.43;
    QTest::newRow("flat zero") << 0.0 << 0.0;
    QTest::newRow("zero and pack") << 0.0 << 8.4;
    QTest::newRow("negative") << -0.3 << 0.2;
}

void RecordModelTest::voltageRangeHoldsValues()
{
    QFETCH(double, low);
    QFETCH(double, high);
    const auto [bottom, top] = PlotSegments::voltageRange(low, high);
    QVERIFY(bottom <= low && top >= high);
    QVERIFY(top - bottom <= std::max(1.0, (high - low) * 5));
}

QTEST_GUILESS_MAIN(RecordModelTest)
#include "RecordModelTest.moc"
