// plot: record files drawn as the Record tab draws them, into a PNG or SVG, without a display.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "recorder/RecordCurve.h"
#include "recorder/image/ChartImageFile.h"
#include "recorder/image/ChartPainter.h"

#include <QPainter>
#include <QRegularExpression>

namespace quarvel::cli {

namespace {
constexpr QSize kDefaultSize(800, 500);
} // namespace

int runPlot(Session& session, const Arguments& arguments)
{
    if (arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("plot needs at least one record file"));
    const QString output = arguments.options.value(QStringLiteral("-o"));
    if (output.isEmpty() || !isChartImageName(output))
        return session.fail(kBadInput, QStringLiteral("plot needs -o FILE.png or -o FILE.svg"));
    ChartScene scene;
    if (arguments.options.contains(QStringLiteral("--limits"))) {
        const auto limits = VoltageLimits::parse(arguments.options.value(QStringLiteral("--limits")));
        if (!limits)
            return session.fail(kBadInput, QStringLiteral("--limits takes three numbers HIGH,WARN,LOW such as 8.4,7.4,7"));
        scene.limits = *limits;
    }
    QSize size = kDefaultSize;
    if (arguments.options.contains(QStringLiteral("--size"))) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
        const auto match = pattern.match(arguments.options.value(QStringLiteral("--size")));
        size = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
        if (size.width() < 100 || size.height() < 100 || size.width() > 10000 || size.height() > 10000)
            return session.fail(kBadInput, QStringLiteral("--size takes WIDTHxHEIGHT in pixels, 100 to 10000 each, "
                                                          "such as 800x500"));
    }
    for (int i = 0; i < arguments.operands.size(); ++i) {
        const QString& path = arguments.operands[i];
        const RecordCurveLoad load = loadRecordCurve(path);
        if (!load.loaded)
            return session.fail(kBadInput, path + QStringLiteral(": ") + load.error);
        if (!load.warning.isEmpty())
            session.console().info(path + QStringLiteral(": ") + load.warning);
        if (i == 0)
            scene.record = load.curve;
        else
            scene.overlays.append(load.curve);
    }
    if (scene.overlays.isEmpty())
        scene.caption = scene.record.name; // one curve needs no legend; its name shows below
    const QString error = saveChartImage(output, size, [&](QPainter& painter) {
        ChartPainter::paint(painter, QRectF(QPointF(0, 0), size), scene);
    });
    if (!error.isEmpty())
        return session.fail(kBadInput, error);
    session.console().info(QStringLiteral("Chart of %1 record(s) written to %2").arg(arguments.operands.size()).arg(output));
    return kDone;
}

} // namespace quarvel::cli
