#include "settings/dlgQualityDisplayConfiguration.h"

#include "ui_dlgQualityDisplayConfiguration.h"

#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityConfigWidget.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <tolvconfig/configCodec.h>

#include <QDialogButtonBox>
#include <QPushButton>

namespace orvane {
namespace qc {

using belrix_common_qt_gui::qualityConfigWidget_t;
using belrix_common_qt_gui::qualitySettings_t;

namespace {
// The gating key: without it a store holds no thresholds of this window.
const char* const KeyColorFreqCa = "qc_color_freq_ca";

// The keys after the gating one, in reading order; each entry is either kind.
struct key_t {
    const char* key;
    float qualitySettings_t::*floatField;
    unsigned int qualitySettings_t::*uintField;
};

using qs = qualitySettings_t;
const key_t Keys[] = {
    {"qc_color_mode_auto_2d", nullptr, &qs::colorModeAuto2d},
    {"qc_pdop_less", &qs::pdopLess, nullptr},
    {"qc_pdop_greater", &qs::pdopGreater, nullptr},
    {"qc_hdop_less", &qs::hdopLess, nullptr},
    {"qc_hdop_greater", &qs::hdopGreater, nullptr},
    {"qc_vdop_less", &qs::vdopLess, nullptr},
    {"qc_vdop_greater", &qs::vdopGreater, nullptr},
    {"qc_age_less", nullptr, &qs::ageLess},
    {"qc_age_greater", nullptr, &qs::ageGreater},
    {"qc_sat_used_greater", nullptr, &qs::satUsedGreater},
    {"qc_sat_used_less", nullptr, &qs::satUsedLess},
    {"qc_fom_less", &qs::fomLess, nullptr},
    {"qc_fom_greater", &qs::fomGreater, nullptr},
    {"qc_snr_greater", &qs::snrGreater, nullptr},
    {"qc_snr_less", &qs::snrLess, nullptr},
    {"qc_type_corr_yellow", nullptr, &qs::typeCorrYellow},
    {"qc_type_corr_red", nullptr, &qs::typeCorrRed},
};
} // namespace

class dlgQualityDisplayConfiguration_t::private_t
{
public:
    Ui::dlgQualityDisplayConfiguration ui;
};

dlgQualityDisplayConfiguration_t::dlgQualityDisplayConfiguration_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);
    connect(d->ui.buttonBox->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &dlgQualityDisplayConfiguration_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QWidget::hide);
    connect(d->ui.buttonBox->button(QDialogButtonBox::Reset), &QPushButton::clicked, this,
            &dlgQualityDisplayConfiguration_t::reset);
    useDefaults();
    // without an editor yet the buttons would act on nothing
    if (!deviceQualitySettings() || !activeConfigWidget())
        d->ui.buttonsGroup->setEnabled(false);
}

dlgQualityDisplayConfiguration_t::~dlgQualityDisplayConfiguration_t() { delete d; }

qualityConfigWidget_t* dlgQualityDisplayConfiguration_t::activeConfigWidget() const
{
    belrix_common_qt_gui::orvaneDeviceGui_t* gui = deviceGui();
    return gui ? gui->qualityConfigWidget() : nullptr;
}

void dlgQualityDisplayConfiguration_t::loadSettings(tolvconfig::config_t& config, int index)
{
    orvaneDialog_t::loadSettings(config, index);
    qualitySettings_t* record = deviceQualitySettings();
    qualityConfigWidget_t* editor = activeConfigWidget();
    if (!record || !editor)
        return;
    if (!tolvconfig::getValue(config, outputKey(KeyColorFreqCa), record->colorFreqCa))
        return;
    for (key_t const& k : Keys) {
        if (k.floatField)
            tolvconfig::getValue(config, outputKey(k.key), record->*k.floatField);
        else
            tolvconfig::getValue(config, outputKey(k.key), record->*k.uintField);
    }
    editor->showSettings(record);
    updateUi();
}

void dlgQualityDisplayConfiguration_t::useDefaults()
{
    qualitySettings_t* record = deviceQualitySettings();
    qualityConfigWidget_t* editor = activeConfigWidget();
    if (!record || !editor)
        return;
    record->useDefaults();
    editor->showSettings(record);
    updateUi();
}

void dlgQualityDisplayConfiguration_t::updateUi()
{
    qualitySettings_t* record = deviceQualitySettings();
    qualityConfigWidget_t* editor = activeConfigWidget();
    if (!record || !editor) {
        d->ui.buttonsGroup->setEnabled(false);
        return;
    }
    d->ui.buttonsGroup->setEnabled(true);
    if (d->ui.stackedWidget->indexOf(editor) < 0)
        d->ui.stackedWidget->addWidget(editor);
    editor->showSettings(record);
    d->ui.stackedWidget->setCurrentWidget(editor);
    reset();
}

void dlgQualityDisplayConfiguration_t::submit()
{
    qualitySettings_t* record = deviceQualitySettings();
    qualityConfigWidget_t* editor = activeConfigWidget();
    if (!record || !editor)
        return;
    editor->applySettings(record);
    editor->showSettings(record);
    updateUi();
    emit configurationModified();
}

void dlgQualityDisplayConfiguration_t::reset()
{
    qualitySettings_t* record = deviceQualitySettings();
    qualityConfigWidget_t* editor = activeConfigWidget();
    if (record && editor)
        editor->showSettings(record);
}

} // namespace qc
} // namespace orvane
