#pragma once

#include "recorder/BatteryHistory.h"

#include <QDialog>

class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

namespace quarvel {

// The battery history: the rows of one pack at a time, and that pack's no-load voltage, loaded
// voltage and impedance over time, so an ageing pack shows as a rising impedance line.
class HistoryView : public QDialog {
    Q_OBJECT
public:
    explicit HistoryView(QString historyPath, QWidget* parent = nullptr);

    // Reads the file again; returns its message when it cannot be read.
    QString reload();
    QComboBox* packs() const { return m_packs; }
    QTableWidget* table() const { return m_table; }
    QChartView* chartView() const { return m_chart; }

private:
    void showPack();

    QString m_path;
    QList<BatteryReport> m_rows;
    QComboBox* m_packs;
    QTableWidget* m_table;
    QChartView* m_chart;
    QLabel* m_where;
};

} // namespace quarvel
