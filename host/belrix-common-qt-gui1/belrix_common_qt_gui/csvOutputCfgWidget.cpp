#include "belrix_common_qt_gui/csvOutputCfgWidget.h"

#include <belrix_common_qt/csvFields.h>

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

// one per csvFieldGroup_t, in its order
using categoryId_t = belrix_common_qt::csvFieldGroup_t;
constexpr int categoryCount = belrix_common_qt::csvGroupCount;

const category_t categories[categoryCount] = {
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Time"), 0},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Position and Solution"), 0x2},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Heading"), 0x200},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Error Statistics"), 0x8},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "QC Statistics"), 0x10},
    {QT_TRANSLATE_NOOP("belrix_common_qt_gui::csvOutputCfgWidget_t", "Correction Signal"), 0x1 | 0x40000},
};

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
        const int category = belrix_common_qt::csvFields_t::group(i);
        auto* box = new QCheckBox(fieldName(i), d->groups[category]);
        box->setObjectName(QString::fromLatin1(belrix_common_qt::csvFields_t::key(i)) + QStringLiteral("Check"));
        box->setProperty("csvField", i);
        const int n = counts[category]++;
        grids[category]->addWidget(box, n / fieldColumns, n % fieldColumns);
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
    return belrix_common_qt::csvFields_t::name(field);
}

bool csvOutputCfgWidget_t::fieldAvailable(int field, int capabilities)
{
    return field >= 0 && field < FieldCount && categoryAvailable(belrix_common_qt::csvFields_t::group(field), capabilities);
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
