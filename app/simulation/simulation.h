#pragma once

#include "receiverProfile.h"
#include "receiverState.h"

#include "belrix_common_qt/almanacGps.h"
#include "belrix_common_qt/position.h"

#include <QObject>

#include <optional>
#include <utility>
#include <vector>

namespace belrix_common_qt {
class remoteController_t;
}

namespace orvane {
namespace app {

// The built-in data source: the ship's track, the satellites' sky and each receiver's error
// model, with GNSS receivers and gyro compasses computed once a second from the data time.
// Every value is a function of the data time and the seeds, so any time can be stepped to.
// The receivers' states reach their devices as NMEA text (simulationSource_t); the almanac
// goes to the controller directly as well, since GLONASS has no NMEA sentence for it.
//
// Satellites are numbered as the data model numbers them (belrix_common_qt/navSatNumbering.h).
class simulation_t : public QObject
{
    Q_OBJECT
public:
    explicit simulation_t(belrix_common_qt::remoteController_t* controller, QObject* parent = nullptr);
    ~simulation_t() override;

    // Each returns the index that names the receiver or gyro from then on.
    int addReceiver(receiverProfile_t const& profile);
    int addGyro();
    int receiverCount() const;
    int gyroCount() const;
    receiverProfile_t profile(int receiver) const;

    // Computes every receiver and gyro for data time t (seconds since 1970 UTC), then signals
    // stepped(t). Deterministic for a given t sequence and seeds.
    void step(double t);
    void start();   // steps now and on the data clock once a second
    void stop();
    bool isRunning() const;

    // The states of the last step; null before the first one and for an index out of range.
    receiverState_t const* receiverState(int receiver) const;
    gyroState_t const* gyroState(int gyro) const;
    // The GPS almanac the receivers broadcast: the newest entry of each satellite.
    std::vector<belrix_common_qt::almanacGps_t> gpsAlmanac() const;

    // The ship's true position at time t (reference point) and true heading in degrees [0, 360).
    belrix_common_qt::position_t shipPosition(double t) const;
    double shipHeading(double t) const;

    // The 1-sigma range noise of a receiver in good conditions, metres: the a-priori sigma that
    // makes its residuals' unit variance about 1.
    static double nominalRangeSigma(receiverProfile_t const& profile);

    // DOPs of satellites given as (azimuth, elevation) in degrees, with a receiver clock unknown;
    // none for fewer than four satellites or a singular geometry.
    static std::optional<dop_t> dilutionOfPrecision(std::vector<std::pair<double, double>> const& azimuthElevation);

public slots:
    // A step at the data clock's time, as the timer makes once a second.
    void stepNow();

signals:
    void stepped(double t);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
