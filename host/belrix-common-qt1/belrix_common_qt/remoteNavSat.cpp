#include "belrix_common_qt/remoteNavSat.h"

namespace belrix_common_qt {

class remoteNavSat_t::private_t
{
public:
    unsigned int number = 0;
    constellation_t constellation = constellationUnknown;
    dataItem_t<freq_t> freqs[MaxFrequencies];
    bool hasFreq[MaxFrequencies] = {false, false, false};
    dataItem_t<float> azimuth;
    dataItem_t<float> elevation;
    bool used = false;
    dataItem_t<float> rangeResidual;
};

remoteNavSat_t::remoteNavSat_t(unsigned int number, constellation_t constellation) : d(new private_t)
{
    d->number = number;
    d->constellation = constellation;
}

remoteNavSat_t::~remoteNavSat_t() { delete d; }

remoteNavSat_t::remoteNavSat_t(remoteNavSat_t const& other) : d(new private_t(*other.d)) {}

remoteNavSat_t& remoteNavSat_t::operator=(remoteNavSat_t const& other)
{
    *d = *other.d;
    return *this;
}

unsigned int remoteNavSat_t::number() const { return d->number; }
constellation_t remoteNavSat_t::constellation() const { return d->constellation; }
void remoteNavSat_t::setConstellation(constellation_t constellation) { d->constellation = constellation; }

void remoteNavSat_t::reset(constellation_t constellation)
{
    unsigned int const number = d->number;
    *d = private_t();
    d->number = number;
    d->constellation = constellation;
}

dataItem_t<freq_t> const* remoteNavSat_t::freq(int index) const
{
    if (index < 0 || index >= MaxFrequencies || !d->hasFreq[index])
        return nullptr;
    return &d->freqs[index];
}

void remoteNavSat_t::setFreq(int index, dataItem_t<freq_t> const& item)
{
    if (index >= 0 && index < MaxFrequencies) {
        d->freqs[index] = item;
        d->hasFreq[index] = true;
    }
}

dataItem_t<float> const& remoteNavSat_t::azimuth() const { return d->azimuth; }
dataItem_t<float> const& remoteNavSat_t::elevation() const { return d->elevation; }
void remoteNavSat_t::setAzimuth(dataItem_t<float> const& item) { d->azimuth = item; }
void remoteNavSat_t::setElevation(dataItem_t<float> const& item) { d->elevation = item; }
bool remoteNavSat_t::isUsed() const { return d->used; }
void remoteNavSat_t::setUsed(bool used) { d->used = used; }
dataItem_t<float> const& remoteNavSat_t::rangeResidual() const { return d->rangeResidual; }
void remoteNavSat_t::setRangeResidual(dataItem_t<float> const& item) { d->rangeResidual = item; }

} // namespace belrix_common_qt
