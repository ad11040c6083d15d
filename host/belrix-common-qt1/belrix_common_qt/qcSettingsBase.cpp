#include "belrix_common_qt/qcSettingsBase.h"

#include <tolvconfig/configCodec.h>

namespace belrix_common_qt {

namespace {
const char* const KeyAprioriSigma = "qc_apriori_sigma";
const char* const KeyUnitVarianceLimit = "qc_unit_variance_limit";
const char* const KeySemiMajorLimit = "qc_semi_major_limit";
const char* const KeyMinSatellites = "qc_min_satellites";
const char* const KeyMaxCorrectionAge = "qc_max_correction_age";
}

class qcSettingsBase_t::private_t
{
public:
    // Defaults for a differential code receiver at sea.
    double aprioriSigma = 1.0;
    double unitVarianceLimit = 4.0;
    double semiMajorLimit = 5.0;
    unsigned int minSatellites = 5;
    double maxCorrectionAge = 30.0;
};

qcSettingsBase_t::qcSettingsBase_t() : d(new private_t) {}
qcSettingsBase_t::~qcSettingsBase_t() { delete d; }
qcSettingsBase_t::qcSettingsBase_t(qcSettingsBase_t const& other) : d(new private_t(*other.d)) {}

qcSettingsBase_t& qcSettingsBase_t::operator=(qcSettingsBase_t const& other)
{
    *d = *other.d;
    return *this;
}

void qcSettingsBase_t::useDefaults() { *d = private_t(); }

void qcSettingsBase_t::save(tolvconfig::config_t& config, std::string const& prefix) const
{
    tolvconfig::setValue(config, prefix + KeyAprioriSigma, d->aprioriSigma, 3);
    tolvconfig::setValue(config, prefix + KeyUnitVarianceLimit, d->unitVarianceLimit, 3);
    tolvconfig::setValue(config, prefix + KeySemiMajorLimit, d->semiMajorLimit, 3);
    tolvconfig::setValue(config, prefix + KeyMinSatellites, d->minSatellites);
    tolvconfig::setValue(config, prefix + KeyMaxCorrectionAge, d->maxCorrectionAge, 1);
}

void qcSettingsBase_t::load(tolvconfig::config_t const& config, std::string const& prefix)
{
    // A stored value that makes no sense keeps the one in force rather than disabling a check.
    double value = 0.0;
    if (tolvconfig::getValue(config, prefix + KeyAprioriSigma, value) && value > 0.0)
        d->aprioriSigma = value;
    if (tolvconfig::getValue(config, prefix + KeyUnitVarianceLimit, value) && value > 0.0)
        d->unitVarianceLimit = value;
    if (tolvconfig::getValue(config, prefix + KeySemiMajorLimit, value) && value > 0.0)
        d->semiMajorLimit = value;
    unsigned int count = 0;
    if (tolvconfig::getValue(config, prefix + KeyMinSatellites, count))
        d->minSatellites = count;
    if (tolvconfig::getValue(config, prefix + KeyMaxCorrectionAge, value) && value > 0.0)
        d->maxCorrectionAge = value;
}

double qcSettingsBase_t::aprioriSigma() const { return d->aprioriSigma; }
void qcSettingsBase_t::setAprioriSigma(double metres) { d->aprioriSigma = metres; }
double qcSettingsBase_t::unitVarianceLimit() const { return d->unitVarianceLimit; }
void qcSettingsBase_t::setUnitVarianceLimit(double limit) { d->unitVarianceLimit = limit; }
double qcSettingsBase_t::semiMajorLimit() const { return d->semiMajorLimit; }
void qcSettingsBase_t::setSemiMajorLimit(double metres) { d->semiMajorLimit = metres; }
unsigned int qcSettingsBase_t::minSatellites() const { return d->minSatellites; }
void qcSettingsBase_t::setMinSatellites(unsigned int count) { d->minSatellites = count; }
double qcSettingsBase_t::maxCorrectionAge() const { return d->maxCorrectionAge; }
void qcSettingsBase_t::setMaxCorrectionAge(double seconds) { d->maxCorrectionAge = seconds; }

bool qcSettingsBase_t::operator==(qcSettingsBase_t const& other) const
{
    return d->aprioriSigma == other.d->aprioriSigma && d->unitVarianceLimit == other.d->unitVarianceLimit
        && d->semiMajorLimit == other.d->semiMajorLimit && d->minSatellites == other.d->minSatellites
        && d->maxCorrectionAge == other.d->maxCorrectionAge;
}

} // namespace belrix_common_qt
