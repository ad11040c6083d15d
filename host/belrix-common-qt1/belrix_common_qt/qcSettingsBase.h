#pragma once

#include "belrix_common_qt_export.h"

#include <string>

namespace tolvconfig {
class config_t;
}

namespace belrix_common_qt {

// The QC settings of a device's data source: what a position must meet to be trusted.
// Stored under the device's key prefix.
class BELRIX_COMMON_QT_EXPORT qcSettingsBase_t
{
public:
    qcSettingsBase_t();
    virtual ~qcSettingsBase_t();
    qcSettingsBase_t(qcSettingsBase_t const& other);
    qcSettingsBase_t& operator=(qcSettingsBase_t const& other);

    virtual void useDefaults();
    virtual void save(tolvconfig::config_t& config, std::string const& prefix) const;
    virtual void load(tolvconfig::config_t const& config, std::string const& prefix);

    double aprioriSigma() const;        // metres, range measurement 1-sigma
    void setAprioriSigma(double metres);
    double unitVarianceLimit() const;   // a posteriori unit variance above this is bad
    void setUnitVarianceLimit(double limit);
    double semiMajorLimit() const;      // metres
    void setSemiMajorLimit(double metres);
    unsigned int minSatellites() const;
    void setMinSatellites(unsigned int count);
    double maxCorrectionAge() const;    // seconds
    void setMaxCorrectionAge(double seconds);

    bool operator==(qcSettingsBase_t const& other) const;
    bool operator!=(qcSettingsBase_t const& other) const { return !(*this == other); }

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
