#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/fixSample.h"

namespace belrix_common_qt {

// A device's recent fix geometry, to set against the forecast: satellites used, HDOP, VDOP
// and PDOP over the last two hours, one sample per ten seconds of data time (the last report
// of each quantity within the step), oldest first. Its memory is fixed when it is made; adding
// never allocates. Reports older than the newest step are merged into their step when it is
// still held and dropped otherwise; a report two hours or more before the newest starts the
// history afresh, as when a recording is replayed from its start again.
class BELRIX_COMMON_QT_EXPORT fixHistory_t
{
public:
    static constexpr double Span = 7200.0;       // seconds
    static constexpr double Step = 10.0;         // seconds
    static constexpr int Capacity = 721;         // steps in the span, both ends included

    fixHistory_t();
    ~fixHistory_t();
    fixHistory_t(fixHistory_t const&) = delete;
    fixHistory_t& operator=(fixHistory_t const&) = delete;

    int count() const;
    // 0 is the oldest; i must be below count().
    fixSample_t const& at(int i) const;

    // The reports, at data time t; a time or value that is not finite is ignored.
    void addSatellitesUsed(double t, unsigned int satellites);
    void addHdop(double t, float hdop);
    void addVdop(double t, float vdop);
    void addPdop(double t, float pdop);
    void clear();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
