#include "params/ui/SettingsChangesDialog.h"

#include "params/ParameterTable.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QString labelOf(const QString& code)
{
    for (const FieldDefinition& field : parameterFields()) {
        if (field.code == code)
            return field.label;
    }
    return code;
}

} // namespace

SettingsChangesDialog::SettingsChangesDialog(const QString& fileName, const QList<SettingChange>& changes,
                                             QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Load Settings from File"));
    auto* text = new QLabel(QStringLiteral("Loading %1 changes %2 settings of the QUARVEL. Each is written and read "
                                           "back; nothing is saved to its EEPROM.")
                                .arg(fileName)
                                .arg(changes.size()),
                            this);
    text->setWordWrap(true);

    auto* table = new QTableWidget(static_cast<int>(changes.size()), 4, this);
    table->setObjectName(QStringLiteral("tblChanges"));
    table->setAccessibleName(QStringLiteral("Settings that change"));
    table->setHorizontalHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Code"), QStringLiteral("Now"),
                                      QStringLiteral("In the file")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false); // Tab goes on to the buttons
    table->verticalHeader()->hide();
    for (int row = 0; row < changes.size(); ++row) {
        const SettingChange& change = changes[row];
        // Quoted: blanks at either end of a text are part of it.
        const QString now = change.currentUnreadable ? QStringLiteral("(holds a \"?\")")
                                                     : QStringLiteral("\"%1\"").arg(change.current);
        const QStringList cells{labelOf(change.code), change.code, now, QStringLiteral("\"%1\"").arg(change.file)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* load = buttons->addButton(QStringLiteral("&Load"), QDialogButtonBox::AcceptRole);
    load->setObjectName(QStringLiteral("cmdLoad"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    load->setAutoDefault(false);
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(560, 360);
}

} // namespace quarvel
