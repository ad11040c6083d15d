#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/constellation.h"
#include "belrix_common_qt/dataItem.h"
#include "belrix_common_qt/freq.h"

namespace belrix_common_qt {

// One satellite as a receiver reports it: position in its sky and up to three signals.
class BELRIX_COMMON_QT_EXPORT remoteNavSat_t
{
public:
    static constexpr int MaxFrequencies = 3;

    remoteNavSat_t(unsigned int number = 0, constellation_t constellation = constellationUnknown);
    ~remoteNavSat_t();
    remoteNavSat_t(remoteNavSat_t const& other);
    remoteNavSat_t& operator=(remoteNavSat_t const& other);

    unsigned int number() const;
    constellation_t constellation() const;
    void setConstellation(constellation_t constellation);
    // Forgets everything but the number, as a newly constructed satellite, without allocating.
    void reset(constellation_t constellation);

    // Null until that signal has been reported, and for an index outside the range.
    dataItem_t<freq_t> const* freq(int index) const;
    void setFreq(int index, dataItem_t<freq_t> const& item);

    dataItem_t<float> const& azimuth() const;     // degrees from true north
    dataItem_t<float> const& elevation() const;   // degrees above the horizon
    void setAzimuth(dataItem_t<float> const& item);
    void setElevation(dataItem_t<float> const& item);
    bool isUsed() const;                          // in the position solution
    void setUsed(bool used);
    // Metres: the receiver's range residual of this satellite in its latest solution (GRS).
    dataItem_t<float> const& rangeResidual() const;
    void setRangeResidual(dataItem_t<float> const& item);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
