#pragma once

#include "recorder/TimeAxisLabels.h"

#include <QChartView>
#include <QList>

#include <cmath>

class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

namespace quarvel {

class RecordModel;

// The record as a line chart: time axis "Time,Min" labelled every L-th point (fewer, or shortened,
// where they would not show in full), value axis "Voltage" in 10 divisions, points without a
// value left as gaps. Drag a rectangle to zoom in; right click zooms out; double click, Home or
// Escape show the whole record again; + and - zoom, the arrow keys scroll. The time and voltage
// of the point under the mouse are shown below the chart, beside the comment caption.
class VoltageChartView : public QChartView {
    Q_OBJECT
public:
    explicit VoltageChartView(RecordModel& model, QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;
    // "Time 1.5 min, 7.52 V" for the point under the mouse; empty when there is none.
    QString pointReadout() const;
    void showWholeRecord();
    bool isZoomed() const { return m_zoomed; }

    QCategoryAxis* timeAxis() const { return m_timeAxis; }
    QValueAxis* voltageAxis() const { return m_voltageAxis; }
    // The drawn pieces of the line (one per run of points with values), for inspection.
    QList<QLineSeries*> lineSegments() const;
    // Values drawn beside the record (overlays, limit lines) that the value axis must also hold;
    // NaN for none.
    void includeInVoltageRange(double low, double high);

signals:
    // The line was redrawn for points first..last (zero-based) over `columns` columns.
    void lineRefreshed(double first, double last, int columns);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuildTimeAxis();
    void refreshLine();
    void fitVoltageRange();
    void setReadout(const QString& text);
    void placeTexts();
    void timeRangeChanged();

    RecordModel& m_model;
    QCategoryAxis* m_timeAxis;
    QValueAxis* m_voltageAxis;
    QList<TimeAxisLabel> m_timeLabels;
    QList<QLineSeries*> m_segments;
    QGraphicsSimpleTextItem* m_caption;
    QGraphicsSimpleTextItem* m_readout;
    double m_extraLow = NAN;
    double m_extraHigh = NAN;
    bool m_zoomed = false;
    bool m_settingRange = false;
};

} // namespace quarvel
