#include "instruments/dlgExtLogData.h"

#include <belrix_common_qt/csvOutputCfg.h>
#include <belrix_common_qt/logCfg.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/csvOutputCfgWidget.h>
#include <tolvconfig/configCodec.h>

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdint>

namespace orvane {
namespace qc {

namespace {

using belrix_common_qt::csvOutputCfg_t;
using belrix_common_qt::logCfg_t;
using belrix_common_qt::SECONDS_PER_DAY;

const belrix_common_qt::logChannelType_t csvChannel = belrix_common_qt::logChannelExternal;

const char* const KeyMode = "log_csv_mode";
const char* const KeyPath = "log_csv_path";
const char* const KeyActive = "log_csv_active";
const char* const KeyAge = "log_csv_age";
const char* const KeyFields = "log_csv_fields";

constexpr int FieldBits = 28;
// Larger stored ages are taken for damage rather than a wish to keep files for years.
constexpr unsigned int MaxAgeDays = 999;
// Where the CSV group goes in the base window's layout: after its file group and status
// lines, before its button row.
constexpr int CsvGroupPosition = 3;

QString fieldsText(std::uint32_t mask)
{
    QString text;
    text.reserve(FieldBits);
    for (int i = 0; i < FieldBits; ++i)
        text += (mask >> i) & 1u ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

// Bits 28 to 31 are no fields and stay set.
std::uint32_t maskFromText(QString const& text)
{
    std::uint32_t mask = 0xffffffffu;
    for (int i = 0; i < FieldBits; ++i) {
        const std::uint32_t bit = std::uint32_t(1) << i;
        if (i < text.size() && text.at(i) == QLatin1Char('1'))
            mask |= bit;
        else
            mask &= ~bit;
    }
    return mask;
}

} // namespace

class dlgExtLogData_t::private_t
{
public:
    QPushButton* csvButton = nullptr;
    QPushButton* rawButton = nullptr;
    belrix_common_qt_gui::csvOutputCfgWidget_t* fieldSelector = nullptr;
    QGroupBox* csvGroup = nullptr;

    bool hasCsvPart() const { return csvGroup != nullptr; }
};

dlgExtLogData_t::dlgExtLogData_t(orvane::context_t* context, QWidget* parent)
    : dlgLogData_t(context, parent), d(new private_t)
{
}

dlgExtLogData_t::~dlgExtLogData_t() { delete d; }

void dlgExtLogData_t::showCsvLogging()
{
    if (d->hasCsvPart())
        return;
    d->fieldSelector = new belrix_common_qt_gui::csvOutputCfgWidget_t(this);
    d->fieldSelector->setCapabilities(deviceCapabilities());

    d->csvGroup = new QGroupBox(tr("CSV Fields"), this);
    d->csvGroup->setObjectName(QStringLiteral("csvGroup"));
    auto* groupLayout = new QVBoxLayout(d->csvGroup);
    groupLayout->addWidget(d->fieldSelector);
    layout()->insertWidget(CsvGroupPosition, d->csvGroup);
    d->csvGroup->hide();

    d->csvButton = new QPushButton(tr("CSV Logging"), this);
    d->csvButton->setObjectName(QStringLiteral("csvButton"));
    connect(d->csvButton, &QPushButton::clicked, this, &dlgExtLogData_t::setCsvLogging);
    d->rawButton = new QPushButton(tr("Raw Logging"), this);
    d->rawButton->setObjectName(QStringLiteral("rawButton"));
    connect(d->rawButton, &QPushButton::clicked, this, &dlgExtLogData_t::setRawLogging);
    addButton(d->rawButton);
    addButton(d->csvButton);

    d->csvButton->show();
    d->rawButton->hide();
    updateUi();
}

void dlgExtLogData_t::setRawLogging() { setLogging(true); }

void dlgExtLogData_t::setCsvLogging() { setLogging(false); }

void dlgExtLogData_t::setLogging(bool raw_)
{
    if (!d->hasCsvPart())
        return;
    d->csvButton->setVisible(raw_);
    d->rawButton->setHidden(raw_);
    d->csvGroup->setHidden(raw_);
    updateUi();
}

bool dlgExtLogData_t::isRawLogging() const { return !d->hasCsvPart() || !d->csvGroup->isVisible(); }

void dlgExtLogData_t::checkButtons(bool logging)
{
    dlgLogData_t::checkButtons(logging);
    // the fields of a running log cannot change under it
    if (d->hasCsvPart())
        d->csvGroup->setEnabled(!logging);
}

void dlgExtLogData_t::updateUi()
{
    if (isRawLogging()) {
        // CSV mode hid the raw logging note
        if (d->hasCsvPart())
            setDiagnosticVisible(true);
        dlgLogData_t::updateUi();
        return;
    }
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    if (csvOutputCfg_t const* fields = device->csvOutputCfg())
        d->fieldSelector->setConfig(fields);
    setDiagnosticVisible(false);
    setLogChannel(csvChannel);
    logCfg_t const* cfg = device->logCfg(csvChannel);
    if (cfg)
        updateLogCfg(cfg);
    // the buttons follow the channel on screen, as the raw window's do
    checkButtons(cfg && cfg->active);
}

void dlgExtLogData_t::startLogging()
{
    if (isRawLogging()) {
        dlgLogData_t::startLogging();
        return;
    }
    if (!validateInput())
        return;
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    csvOutputCfg_t fields;
    fields.mask = 0xffffffffu;
    d->fieldSelector->getConfig(fields);
    device->setCsvOutputCfg(fields);

    logCfg_t cfg;
    setLogCfg(&cfg);
    device->setLogCfg(csvChannel, cfg);
    checkButtons(true);
    emit configurationModified();
}

void dlgExtLogData_t::stopLogging()
{
    if (isRawLogging()) {
        dlgLogData_t::stopLogging();
        return;
    }
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* current = device ? device->logCfg(csvChannel) : nullptr;
    if (!current)
        return;
    logCfg_t cfg = *current;
    cfg.active = false;
    device->setLogCfg(csvChannel, cfg);
    checkButtons(false);
    emit configurationModified();
}

void dlgExtLogData_t::saveSettings(tolvconfig::config_t& config, int index)
{
    dlgLogData_t::saveSettings(config, index);
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* cfg = device ? device->logCfg(csvChannel) : nullptr;
    if (!cfg)
        return;
    tolvconfig::setValue(config, outputKey(KeyMode), cfg->mode);
    tolvconfig::setValue(config, outputKey(KeyPath), cfg->path);
    tolvconfig::setValue(config, outputKey(KeyActive), cfg->active);
    tolvconfig::setValue(config, outputKey(KeyAge), cfg->age / SECONDS_PER_DAY);
    csvOutputCfg_t const* fields = device->csvOutputCfg();
    if (!fields)
        return;
    tolvconfig::setValue(config, outputKey(KeyFields), fieldsText(fields->mask));
}

void dlgExtLogData_t::loadSettings(tolvconfig::config_t& config, int index)
{
    dlgLogData_t::loadSettings(config, index);
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    logCfg_t cfg;
    QString fields;
    if (!tolvconfig::getValue(config, outputKey(KeyFields), fields))
        return;
    // the file name pattern is the host's, read by its window just before
    if (logCfg_t const* current = device->logCfg(csvChannel))
        cfg.pattern = current->pattern;
    unsigned int mode = 0;
    if (tolvconfig::getValue(config, outputKey(KeyMode), mode))
        cfg.mode = int(mode);
    tolvconfig::getValue(config, outputKey(KeyPath), cfg.path);
    tolvconfig::getValue(config, outputKey(KeyActive), cfg.active);
    unsigned int days = 0;
    if (tolvconfig::getValue(config, outputKey(KeyAge), days) && days <= MaxAgeDays)
        cfg.age = days * SECONDS_PER_DAY;

    csvOutputCfg_t mask;
    mask.mask = maskFromText(fields);
    device->setCsvOutputCfg(mask);
    device->setLogCfg(csvChannel, cfg);
}

} // namespace qc
} // namespace orvane
