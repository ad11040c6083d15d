#include "belrix_common_qt_gui/csvOutputCfgWidget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariant>

#include <array>
#include <cstdint>

namespace belrix_common_qt_gui {

namespace {

struct category_t {
    const char* title;
    int needs;   // any of these capability bits; 0 for always
};

enum categoryId_t { catTime, catPosition, catHeading, catErrors, catQc, catSignal, categoryCount };

const category_t categories[categoryCount] = {
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Time"), 0},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Position and Solution"), 0x2},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Heading"), 0x200},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Error Statistics"), 0x8 | 0x10},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "QC Statistics"), 0x10},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Correction Signal"), 0x1 | 0x40000},
};

struct field_t {
    const char* key;    // object name of the check box
    const char* name;
    categoryId_t category;
};

// The order is the bit order of the mask and the column order of the log; append only.
const std::array<field_t, csvOutputCfgWidget_t::FieldCount> fields = {{
    {"date", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Date"), catTime},
    {"time", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Time (UTC)"), catTime},
    {"latitude", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Latitude"), catPosition},
    {"longitude", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Longitude"), catPosition},
    {"height", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Ellipsoidal Height"), catPosition},
    {"fixQuality", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Fix Quality"), catPosition},
    {"satellitesUsed", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Satellites Used"), catPosition},
    {"hdop", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "HDOP"), catPosition},
    {"vdop", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "VDOP"), catPosition},
    {"pdop", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "PDOP"), catPosition},
    {"correctionAge", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Correction Age"), catPosition},
    {"referenceStation", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Reference Station ID"), catPosition},
    {"speedOverGround", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "SOG"), catPosition},
    {"courseOverGround", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "COG"), catPosition},
    {"heading", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Heading"), catHeading},
    {"rateOfTurn", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Rate of Turn"), catHeading},
    {"semiMajor", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Semi-Major Axis"), catErrors},
    {"semiMinor", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Semi-Minor Axis"), catErrors},
    {"orientation", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Orientation"), catErrors},
    {"latitudeError", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Latitude Error"), catErrors},
    {"longitudeError", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Longitude Error"), catErrors},
    {"heightError", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Height Error"), catErrors},
    {"unitVariance", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Unit Variance"), catQc},
    {"fTest", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "F-Test"), catQc},
    {"wTest", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Largest W-Test"), catQc},
    {"externalReliability", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "External Reliability"), catQc},
    {"degreesOfFreedom", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Degrees of Freedom"), catQc},
    {"correctionSnr", QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Correction Signal SNR"), catSignal},
}};

bool categoryAvailable(categoryId_t category, int capabilities)
{
    const int needs = categories[category].needs;
    return needs == 0 || (capabilities & needs) != 0;
}

constexpr int fieldColumns = 3;

} // namespace

class csvOutputCfgWidget_t::private_t
{
public:
    int capabilities = ~0;
    std::array<QCheckBox*, FieldCount> boxes{};
    std::array<QGroupBox*, categoryCount> groups{};
};

csvOutputCfgWidget_t::csvOutputCfgWidget_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setObjectName(QStringLiteral("csvOutputCfgWidget"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    std::array<QGridLayout*, categoryCount> grids{};
    std::array<int, categoryCount> counts{};
    for (int c = 0; c < categoryCount; ++c) {
        d->groups[c] = new QGroupBox(tr(categories[c].title), this);
        grids[c] = new QGridLayout(d->groups[c]);
        layout->addWidget(d->groups[c]);
    }
    for (int i = 0; i < FieldCount; ++i) {
        const field_t& field = fields[i];
        auto* box = new QCheckBox(tr(field.name), d->groups[field.category]);
        box->setObjectName(QLatin1String(field.key) + QStringLiteral("Check"));
        box->setProperty("csvField", i);
        const int n = counts[field.category]++;
        grids[field.category]->addWidget(box, n / fieldColumns, n % fieldColumns);
        connect(box, &QCheckBox::clicked, this, &csvOutputCfgWidget_t::configChanged);
        d->boxes[i] = box;
    }

    auto* buttonRow = new QHBoxLayout;
    auto* allButton = new QPushButton(tr("Select All"), this);
    allButton->setObjectName(QStringLiteral("selectAllButton"));
    auto* noneButton = new QPushButton(tr("Select None"), this);
    noneButton->setObjectName(QStringLiteral("selectNoneButton"));
    buttonRow->addWidget(allButton);
    buttonRow->addWidget(noneButton);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);
    layout->addStretch(1);

    connect(allButton, &QPushButton::clicked, this, &csvOutputCfgWidget_t::selectAll);
    connect(noneButton, &QPushButton::clicked, this, &csvOutputCfgWidget_t::selectNone);
    connect(allButton, &QPushButton::clicked, this, &csvOutputCfgWidget_t::configChanged);
    connect(noneButton, &QPushButton::clicked, this, &csvOutputCfgWidget_t::configChanged);
}

csvOutputCfgWidget_t::~csvOutputCfgWidget_t() { delete d; }

QString csvOutputCfgWidget_t::fieldName(int field)
{
    if (field < 0 || field >= FieldCount)
        return QString();
    return tr(fields[field].name);
}

bool csvOutputCfgWidget_t::fieldAvailable(int field, int capabilities)
{
    return field >= 0 && field < FieldCount && categoryAvailable(fields[field].category, capabilities);
}

void csvOutputCfgWidget_t::setCapabilities(int capabilities)
{
    d->capabilities = capabilities;
    for (int c = 0; c < categoryCount; ++c)
        d->groups[c]->setVisible(categoryAvailable(categoryId_t(c), capabilities));
}

int csvOutputCfgWidget_t::capabilities() const { return d->capabilities; }

void csvOutputCfgWidget_t::setConfig(belrix_common_qt::csvOutputCfg_t const* cfg)
{
    if (!cfg)
        return;
    for (int i = 0; i < FieldCount; ++i)
        d->boxes[i]->setChecked((cfg->mask >> i) & 1u);
}

void csvOutputCfgWidget_t::getConfig(belrix_common_qt::csvOutputCfg_t& cfg) const
{
    for (int i = 0; i < FieldCount; ++i) {
        const std::uint32_t bit = std::uint32_t(1) << i;
        if (d->boxes[i]->isChecked() && fieldAvailable(i, d->capabilities))
            cfg.mask |= bit;
        else
            cfg.mask &= ~bit;
    }
}

void csvOutputCfgWidget_t::selectAll()
{
    for (int i = 0; i < FieldCount; ++i)
        if (fieldAvailable(i, d->capabilities))
            d->boxes[i]->setChecked(true);
}

void csvOutputCfgWidget_t::selectNone()
{
    for (int i = 0; i < FieldCount; ++i)
        if (fieldAvailable(i, d->capabilities))
            d->boxes[i]->setChecked(false);
}

} // namespace belrix_common_qt_gui
