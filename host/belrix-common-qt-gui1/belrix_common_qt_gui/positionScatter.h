#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QPointF>
#include <QVector>

namespace belrix_common_qt_gui {

// The spread of a receiver's positions over the last minutes: each position as its east and
// north offset in metres from their mean, and the radius around the mean that holds 95 % of
// them. Holds at most MaxPoints positions of the last WindowSeconds of data time.
class BELRIX_COMMON_QT_GUI_EXPORT positionScatter_t
{
public:
    static constexpr double WindowSeconds = 600.0;
    static constexpr int MaxPoints = 600;

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

    int count() const;
    double newestTime() const;      // NaN while empty
    double meanLatitude() const;    // radians
    double meanLongitude() const;
    // East (x) and north (y) metres from the mean, oldest first.
    QVector<QPointF> offsets() const;
    // The smallest radius around the mean within which 95 % of the positions lie (0 while
    // fewer than two).
    double radius95() const;
    double largestOffset() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
