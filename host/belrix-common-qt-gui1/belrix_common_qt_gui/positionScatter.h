#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QPointF>
#include <QVector>

namespace belrix_common_qt_gui {

// The spread of a receiver's positions over the last minutes: each position as its east and
// north offset in metres, and the radius around the centre that holds 95 % of them. Holds at
// most MaxPoints positions of the last WindowSeconds of data time.
//
// At rest the offsets are from the mean. Under way the mean would measure the ship's track,
// not the receiver's noise, so each offset is taken from the track instead: a parabola in
// time fitted to the positions within TrackHalfWindow seconds either side of it. That takes
// out a steady course or turn and speed changes slower than about a minute, and with them any
// slower wander of the receiver, so the scatter under way shows the short-term noise only.
class BELRIX_COMMON_QT_GUI_EXPORT positionScatter_t
{
public:
    static constexpr double WindowSeconds = 600.0;
    static constexpr int MaxPoints = 600;
    static constexpr double TrackHalfWindow = 30.0;

    positionScatter_t();
    ~positionScatter_t();
    positionScatter_t(positionScatter_t const& other);
    positionScatter_t& operator=(positionScatter_t const& other);

    // Latitude and longitude in radians at data time `time`; an earlier time than the newest
    // (a replay started over) begins afresh.
    void add(double time, double latitude, double longitude);
    // Forgets positions older than the window before `time`.
    void expire(double time);
    void clear();
    // Offsets from the track (true) or from the mean (false, the default).
    void setUnderWay(bool underWay);
    bool underWay() const;

    int count() const;
    double newestTime() const;      // NaN while empty
    double meanLatitude() const;    // radians
    double meanLongitude() const;
    // East (x) and north (y) metres from the mean or the track, oldest first.
    QVector<QPointF> offsets() const;
    // The smallest radius around the centre within which 95 % of the offsets lie (0 while
    // fewer than two).
    double radius95() const;
    double largestOffset() const;

private:
    // Drops what is past the window or beyond MaxPoints before `time`.
    void dropOld(double time);

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
