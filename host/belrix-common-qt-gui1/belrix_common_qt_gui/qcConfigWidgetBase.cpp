#include "belrix_common_qt_gui/qcConfigWidgetBase.h"

#include "belrix_common_qt_gui/orvaneDeviceGui.h"

#include <belrix_common_qt/qcSettingsBase.h>

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QVBoxLayout>

namespace belrix_common_qt_gui {

using belrix_common_qt::qcSettingsBase_t;

class qcConfigWidgetBase_t::private_t
{
public:
    QPointer<orvaneDeviceGui_t> gui;
    QDoubleSpinBox* aprioriSigma = nullptr;
    QDoubleSpinBox* unitVarianceLimit = nullptr;
    QDoubleSpinBox* semiMajorLimit = nullptr;
    QSpinBox* minSatellites = nullptr;
    QDoubleSpinBox* maxCorrectionAge = nullptr;
    bool filling = false;
    bool modified = false;

    void fill(qcSettingsBase_t const& settings)
    {
        filling = true;
        aprioriSigma->setValue(settings.aprioriSigma());
        unitVarianceLimit->setValue(settings.unitVarianceLimit());
        semiMajorLimit->setValue(settings.semiMajorLimit());
        minSatellites->setValue(int(settings.minSatellites()));
        maxCorrectionAge->setValue(settings.maxCorrectionAge());
        filling = false;
        modified = false;
    }
};

namespace {
QDoubleSpinBox* doubleBox(QWidget* parent, char const* name, double min, double max, int decimals, double step,
                          QString const& suffix)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(min, max);
    box->setDecimals(decimals);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    return box;
}
} // namespace

qcConfigWidgetBase_t::qcConfigWidgetBase_t(orvaneDeviceGui_t* gui, QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->gui = gui;
    setObjectName(QStringLiteral("qcConfigWidget"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(tr("Quality Control"), this);
    auto* form = new QFormLayout(group);
    // Ranges keep every check meaningful: a zero limit would call every position bad.
    d->aprioriSigma = doubleBox(group, "aprioriSigmaSpin", 0.001, 100.0, 3, 0.1, tr(" m"));
    d->unitVarianceLimit = doubleBox(group, "unitVarianceLimitSpin", 0.01, 1000.0, 2, 0.5, QString());
    d->semiMajorLimit = doubleBox(group, "semiMajorLimitSpin", 0.01, 10000.0, 2, 0.5, tr(" m"));
    d->minSatellites = new QSpinBox(group);
    d->minSatellites->setObjectName(QStringLiteral("minSatellitesSpin"));
    d->minSatellites->setRange(0, 64);
    d->maxCorrectionAge = doubleBox(group, "maxCorrectionAgeSpin", 0.1, 3600.0, 1, 1.0, tr(" s"));
    form->addRow(tr("A Priori Range Sigma:"), d->aprioriSigma);
    form->addRow(tr("Unit Variance Limit:"), d->unitVarianceLimit);
    form->addRow(tr("Error Ellipse Semi-Major Limit:"), d->semiMajorLimit);
    form->addRow(tr("Minimum Satellites:"), d->minSatellites);
    form->addRow(tr("Maximum Correction Age:"), d->maxCorrectionAge);
    auto* note = new QLabel(tr("A position fails quality control when its unit variance or error ellipse exceeds "
                               "its limit, fewer satellites are used or its corrections are older."),
                            group);
    note->setWordWrap(true);
    form->addRow(note);
    outer->addWidget(group);
    outer->addStretch(1);

    auto edited = [this] {
        if (d->filling)
            return;
        d->modified = true;
        emit modified();
    };
    for (QDoubleSpinBox* box : {d->aprioriSigma, d->unitVarianceLimit, d->semiMajorLimit, d->maxCorrectionAge})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, edited);
    connect(d->minSatellites, QOverload<int>::of(&QSpinBox::valueChanged), this, edited);

    d->fill(qcSettingsBase_t());
}

qcConfigWidgetBase_t::~qcConfigWidgetBase_t() { delete d; }

void qcConfigWidgetBase_t::showSettings(qcSettingsBase_t* settings)
{
    if (settings)
        d->fill(*settings);
}

void qcConfigWidgetBase_t::applySettings(qcSettingsBase_t* settings)
{
    if (!settings)
        return;
    settings->setAprioriSigma(d->aprioriSigma->value());
    settings->setUnitVarianceLimit(d->unitVarianceLimit->value());
    settings->setSemiMajorLimit(d->semiMajorLimit->value());
    settings->setMinSatellites(unsigned(d->minSatellites->value()));
    settings->setMaxCorrectionAge(d->maxCorrectionAge->value());
    d->modified = false;
}

bool qcConfigWidgetBase_t::isModified() const { return d->modified; }

void qcConfigWidgetBase_t::showEvent(QShowEvent* event)
{
    if (!d->modified && d->gui) {
        if (qcSettingsBase_t const* settings = d->gui->qcSettings())
            d->fill(*settings);
    }
    QWidget::showEvent(event);
}

} // namespace belrix_common_qt_gui
