#include "params/ui/ParameterPages.h"

#include "params/ParameterTable.h"
#include "params/ProfilePresets.h"
#include "params/ui/EepromOperations.h"
#include "params/ui/FieldPlacement.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParamIo.h"
#include "params/ui/SettingsFiles.h"
#include "ui/FieldLabel.h"
#include "ui/Twips.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace quarvel {

namespace {

// The tab control's page starts below its row of tabs; layout figures count from the control.
constexpr int kTabRowTwips = 360;
constexpr int kLabelGapTwips = 120;

QFont fieldFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.75);
    return font;
}

QLineEdit* makeField(QWidget* parent, const FieldDefinition& definition, const FieldPlacement& place, int topOffset,
                     const QString& objectName, int labelLeft = 120, Qt::Alignment labelAlignment = Qt::AlignRight)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setFont(fieldFont());
    setFieldCode(*field, definition.code);
    if (!definition.toolTip.isEmpty())
        field->setToolTip(definition.toolTip);
    placeTwips(field, place.left, place.top - topOffset, place.width, kFieldHeightTwips);

    // The label stands on the same row, to the left of the field: right-aligned up to the gap
    // before the field, or from labelLeft on.
    const int edge = labelAlignment & Qt::AlignRight ? place.left - kLabelGapTwips : labelLeft;
    auto* label = new FieldLabel(definition.label, parent, twips(edge), twips(place.top - topOffset),
                                 twips(kFieldHeightTwips), labelAlignment);
    labelField(label, field);
    return field;
}

QLabel* makeText(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(label, left, top - kTabRowTwips, width, height);
    return label;
}

} // namespace

ParameterPages::ParameterPages(SerialLink& link, QObject* parent) : QObject(parent)
{
    for (int tab = 0; tab < kParameterPageCount; ++tab)
        m_pages.append(buildPage(tab));
    for (int tab = 0; tab < 2; ++tab)
        addPresetButtons(m_pages[tab], tab);
    addMiscFrames(m_pages[3]);
    m_binding = std::make_unique<ParameterBinding>(link, m_parameters, m_reports);
    m_eeprom = std::make_unique<EepromOperations>(*m_binding);
    m_settingsFiles = std::make_unique<SettingsFiles>(*m_binding, m_pages[3]);
}

ParameterPages::~ParameterPages() = default;

QWidget* ParameterPages::buildPage(int tab)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("page%1").arg(tab));
    if (tab == 0)
        makeText(page, "Define the operating parameters for voltage test profile A.", 240, 600, 5400, 400);
    else if (tab == 1)
        makeText(page, "Define the operating parameters for voltage test profile B.", 240, 600, 5400, 400);
    else if (tab == 2)
        makeText(page,
                 "This list is used by the servo cycle mode to define all positions. The positions are defined "
                 "in pulse widths. The normal servo range is 1000 to 2000 micro-sec with 1500 being the center "
                 "position. Enter 0 to cause the servo cycle function to reset to the top of the list.",
                 240, 1080, 2700, 3000);
    const auto& fields = parameterFields();
    const auto& placements = parameterPlacements();
    Q_ASSERT(placements.size() == fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].page != tab)
            continue;
        if (m_parameters.size() < fields.size())
            m_parameters.resize(fields.size());
        m_parameters[i] = makeField(page, fields[i], placements[i], kTabRowTwips, QStringLiteral("txtParam_%1").arg(i));
    }
    return page;
}

void ParameterPages::addPresetButtons(QWidget* page, int tab)
{
    const int left = tab == 0 ? 5880 : 6000;
    makeText(page, "The following buttons define test profiles for popular battery configurations.", left - 120, 900,
             1800, 840);
    const auto& presets = profilePresets();
    const auto fields = tab == 0 ? kProfileAFields : kProfileBFields;
    const QString arrayName = tab == 0 ? QStringLiteral("cmdProfileA_%1") : QStringLiteral("cmdProfileB_%1");
    for (int n = 0; n < presets.size(); ++n) {
        auto* button = new QPushButton(presets[n].caption, page);
        button->setObjectName(arrayName.arg(n));
        placeTwips(button, left, 2100 + 360 * n - kTabRowTwips, 1275, 375);
        connect(button, &QPushButton::clicked, this, [this, fields, n] { m_binding->applyPreset(fields, n); });
    }
}

void ParameterPages::addMiscFrames(QWidget* page)
{
    auto* report = new QGroupBox(QStringLiteral("Report"), page);
    report->setObjectName(QStringLiteral("fraReport"));
    placeTwips(report, 1800, 1620 - kTabRowTwips, 3975, 1935);
    const auto& reports = reportFields();
    const auto& placements = reportPlacements();
    Q_ASSERT(placements.size() == reports.size());
    for (int j = 0; j < reports.size(); ++j)
        m_reports.append(makeField(report, reports[j], placements[j], 0, QStringLiteral("txtR_%1").arg(j), 240, Qt::AlignLeft));
    auto* update = new QPushButton(QStringLiteral("Update Values"), report);
    update->setObjectName(QStringLiteral("cmdUpdate"));
    placeTwips(update, 1380, 1560, 1215, 255);

    auto* eeprom = new QGroupBox(QStringLiteral("EEPROM"), page);
    eeprom->setObjectName(QStringLiteral("fraEEPROM"));
    // Wider than the three instrument buttons: the settings files stand in a second column.
    placeTwips(eeprom, 1800, 3600 - kTabRowTwips, 7110, 1395);
    struct Button {
        const char* name;
        const char* caption;
        int top;
    };
    const Button buttons[] = {{"cmdELD", "Load All Parameters from EEPROM", 300},
                              {"cmdESV", "Save All Parameters to EEPROM", 600},
                              {"cmdERD", "Restore All Factory Defaults to RAM", 900}};
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), eeprom);
        button->setObjectName(QString::fromLatin1(b.name));
        placeTwips(button, 480, b.top, 2955, 255);
    }
    auto* saveFile = new QPushButton(SettingsFiles::kSaveTitle, eeprom);
    saveFile->setObjectName(QStringLiteral("cmdSaveSettingsFile"));
    placeTwips(saveFile, 3675, 300, 2955, 255);
    auto* loadFile = new QPushButton(SettingsFiles::kLoadTitle, eeprom);
    loadFile->setObjectName(QStringLiteral("cmdLoadSettingsFile"));
    placeTwips(loadFile, 3675, 600, 2955, 255);
    connect(saveFile, &QPushButton::clicked, this, [this] { m_settingsFiles->saveToFile(); });
    connect(loadFile, &QPushButton::clicked, this, [this] { m_settingsFiles->loadFromFile(); });
    auto* save = eeprom->findChild<QPushButton*>(QStringLiteral("cmdESV"));
    save->setToolTip(QStringLiteral("Press this button to save all of your changes to the QUARVEL"));
    connect(eeprom->findChild<QPushButton*>(QStringLiteral("cmdELD")), &QPushButton::clicked, this,
            [this] { m_eeprom->loadFromEeprom(); });
    connect(save, &QPushButton::clicked, this, [this] { m_eeprom->saveToEeprom(); });
    connect(eeprom->findChild<QPushButton*>(QStringLiteral("cmdERD")), &QPushButton::clicked, this,
            [this] { m_eeprom->restoreFactoryDefaults(); });
    connect(update, &QPushButton::clicked, this, [this] { m_binding->updateReport(); });
}

} // namespace quarvel
