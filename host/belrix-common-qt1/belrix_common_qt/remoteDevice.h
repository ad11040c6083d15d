#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/csvOutputCfg.h"
#include "belrix_common_qt/constellation.h"
#include "belrix_common_qt/dataItem.h"
#include "belrix_common_qt/fixHistory.h"
#include "belrix_common_qt/logCfg.h"
#include "belrix_common_qt/magneticHeading.h"
#include "belrix_common_qt/outputDatum.h"
#include "belrix_common_qt/position.h"
#include "belrix_common_qt/pseudorangeStats.h"
#include "belrix_common_qt/receiverIntegrity.h"

#include <QObject>

#include <map>

namespace belrix_common_qt {

// An epoch is over at the latest when its source has sent nothing for this long of data time.
constexpr double EpochQuietTime = 1.0;

class qcDataStore_t;
class qcSettingsBase_t;
class remoteNavSat_t;

// GNSS fix quality as receivers report it (GGA quality indicator).
enum fixQuality_t {
    fixQualityInvalid = 0,
    fixQualityGps = 1,
    fixQualityDgps = 2,
    fixQualityPps = 3,
    fixQualityRtkFixed = 4,
    fixQualityRtkFloat = 5,
    fixQualityEstimated = 6,
    fixQualityManual = 7,
    fixQualitySimulation = 8,
};

// The data of one device as its source reports it. Sources fill it through the setters;
// displays read it on the clock. Every item carries its own validity and timestamp.
class BELRIX_COMMON_QT_EXPORT remoteDevice_t : public QObject
{
    Q_OBJECT
public:
    explicit remoteDevice_t(QObject* parent = nullptr);
    ~remoteDevice_t() override;

    // Positions: input as received (receiver datum), display as converted for the user.
    dataItem_t<position_t> const& inputPosition() const;
    dataItem_t<position_t> const& displayPosition() const;
    dataItem_t<double> const& ellipsoidalHeight() const;     // metres
    dataItem_t<float> const& heading() const;                // degrees true
    dataItem_t<float> const& courseOverGround() const;       // degrees true
    dataItem_t<float> const& speedOverGround() const;        // metres per second
    dataItem_t<pseudorangeStats_t> const& pseudorangeStats() const;
    dataItem_t<float> const& corrSatSnr() const;             // correction satellite C/N0, dB-Hz
    dataItem_t<int> const& fixQuality() const;               // fixQuality_t
    dataItem_t<unsigned int> const& satellitesUsed() const;
    dataItem_t<float> const& hdop() const;
    dataItem_t<float> const& vdop() const;
    dataItem_t<float> const& pdop() const;
    dataItem_t<float> const& correctionAge() const;          // seconds
    // Degrees per minute, positive turning to starboard; computed from the headings given
    // to setHeading over rotSampleSize() of them, unless the source sets it itself: a
    // measured rate (a gyro's ROT) is preferred while it is current.
    dataItem_t<float> const& rateOfTurn() const;
    dataItem_t<receiverIntegrity_t> const& receiverIntegrity() const;
    dataItem_t<magneticHeading_t> const& magneticHeading() const;
    dataItem_t<outputDatum_t> const& outputDatum() const;
    // The receiver's own UTC of its latest position epoch, seconds since 1970: a replay keeps
    // its recorded date whatever the data time says.
    dataItem_t<double> const& fixTime() const;
    unsigned int rotSampleSize() const;
    // The last two hours of satellitesUsed, hdop, vdop and pdop as they were set, in steps of
    // ten seconds of data time: the device's real geometry against the forecast.
    fixHistory_t const& fixHistory() const;

    // Satellites by number, in number order.
    std::map<unsigned int, remoteNavSat_t const*> allNavSats() const;
    remoteNavSat_t const* navSat(unsigned int number) const;

    qcDataStore_t* qcDataStore() const;
    qcSettingsBase_t* qcSettings() const;
    double elevationMask() const;                            // degrees
    bool isInput() const;
    bool belrixReceiver() const;

    logCfg_t const* logCfg(logChannelType_t channel) const;  // null until configured
    void setLogCfg(logChannelType_t channel, logCfg_t const& cfg);
    csvOutputCfg_t const* csvOutputCfg() const;              // null until configured
    void setCsvOutputCfg(csvOutputCfg_t const& cfg);

    void setInputPosition(dataItem_t<position_t> const& item);
    void setDisplayPosition(dataItem_t<position_t> const& item);
    void setEllipsoidalHeight(dataItem_t<double> const& item);
    void setHeading(dataItem_t<float> const& item);
    void setCourseOverGround(dataItem_t<float> const& item);
    void setSpeedOverGround(dataItem_t<float> const& item);
    void setPseudorangeStats(dataItem_t<pseudorangeStats_t> const& item);
    void setCorrSatSnr(dataItem_t<float> const& item);
    void setFixQuality(dataItem_t<int> const& item);
    void setSatellitesUsed(dataItem_t<unsigned int> const& item);
    void setHdop(dataItem_t<float> const& item);
    void setVdop(dataItem_t<float> const& item);
    void setPdop(dataItem_t<float> const& item);
    void setCorrectionAge(dataItem_t<float> const& item);
    void setRateOfTurn(dataItem_t<float> const& item);
    void setReceiverIntegrity(dataItem_t<receiverIntegrity_t> const& item);
    void setMagneticHeading(dataItem_t<magneticHeading_t> const& item);
    void setOutputDatum(dataItem_t<outputDatum_t> const& item);
    void setFixTime(dataItem_t<double> const& item);
    // Headings over which rate of turn is computed; 0 takes the default.
    void setRotSampleSize(unsigned int size);
    // Adds the satellite or replaces the one of the same number.
    void setNavSat(remoteNavSat_t const& sat);
    // For sources that update satellites in place, sentence by sentence: the satellite of that
    // number, added (empty, of that constellation) when absent. Storage is kept when a
    // satellite is removed, so a returning satellite costs no allocation. Null only when the
    // device holds 65535 numbers already.
    remoteNavSat_t* addNavSat(unsigned int number, constellation_t constellation);
    // The satellite of that number for updating in place; null when absent.
    remoteNavSat_t* navSatForUpdate(unsigned int number);
    void removeNavSat(unsigned int number);
    void clearNavSats();
    void setElevationMask(double degrees);
    void setInput(bool input);
    void setBelrixReceiver(bool belrix);
    // Marks every item invalid, as when the source is lost; the epoch so far ends first.
    void invalidateAll();
    // The source has set everything of one epoch and is about to set the first item of the
    // next: a reader that wants whole epochs (the CSV log) takes this one now.
    void endEpoch();

signals:
    void epochEnded();
    void logCfgUpdated(belrix_common_qt::logChannelType_t channel, belrix_common_qt::logCfg_t const* cfg);
    void csvOutputCfgUpdated();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
