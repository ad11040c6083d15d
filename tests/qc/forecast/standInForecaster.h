#pragma once

// A forecaster with plausible answers in place of the orbit model: the satellite count
// swings between 3 and 12 over six hours, and the DOPs follow it (none below 4
// satellites). It covers [validFrom, validUntil) and notes every time it was asked for.

#include <belrix_common_qt/satForecaster.h>

#include <QVector>

#include <cmath>
#include <limits>

namespace forecastTest {

class standInForecaster_t : public belrix_common_qt::satForecaster_t
{
public:
    double validFrom = 0.0;
    double validUntil = std::numeric_limits<double>::infinity();
    double lat = 0.0, lon = 0.0, height = 0.0, mask = 0.0, time = 0.0;
    QVector<double> forecastTimes;

    void setPosition(double la, double lo, double h) override
    {
        lat = la;
        lon = lo;
        height = h;
    }
    void setElevationMask(double m) override { mask = m; }
    void setForecastTime(double t) override { time = t; }
    bool forecastTimeValid() const override { return time >= validFrom && time < validUntil; }
    void forecast(belrix_common_qt::satForecastOutput_t& output) const override
    {
        const_cast<standInForecaster_t*>(this)->forecastTimes.append(time);
        output.valid = true;
        const int sats = int(std::lround(7.5 + 4.5 * std::sin(time * 2.0 * 3.141592653589793 / 21600.0)));
        output.satellitesUsed = output.satelliteCount = sats;
        if (sats >= 4) {
            output.hdop = 9.0 / sats;
            output.vdop = 1.6 * output.hdop;
            output.pdop = std::hypot(output.hdop, output.vdop);
        }
    }
};

} // namespace forecastTest
