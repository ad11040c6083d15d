#include "belrix_common_qt/dataClock.h"

#include <QDateTime>

#include <cmath>

namespace belrix_common_qt {

namespace {
bool g_manual = false;
double g_time = 0.0;
}

double dataClock_t::now()
{
    if (g_manual)
        return g_time;
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

void dataClock_t::setTime(double t)
{
    g_manual = true;
    g_time = t;
}

void dataClock_t::advance(double seconds)
{
    if (!g_manual)
        setTime(now());
    g_time += seconds;
}

void dataClock_t::useSystemTime() { g_manual = false; }

bool dataClock_t::isManual() { return g_manual; }

double dataTimestamp() { return dataClock_t::now(); }

bool isDataRecent(double timestamp, double now, double maxAge)
{
    const double age = now - timestamp;
    // NaN fails both comparisons
    return age < maxAge && age > -maxAge;
}

bool isSatDataRecent(double timestamp, double now)
{
    return isDataRecent(timestamp, now, SatDataMaxAge);
}

} // namespace belrix_common_qt
