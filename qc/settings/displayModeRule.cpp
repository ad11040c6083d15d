#include "settings/displayModeRule.h"

#include <QtGlobal>

#include <cmath>
#include <sstream>
#include <string>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;

namespace {
const QString AutoWord = QStringLiteral("auto");
const QString DayWord = QStringLiteral("day");
const QString NightWord = QStringLiteral("night");
constexpr quint32 SecondsPerDay = 86400;
}

QString displayModeRule_t::modeText() const
{
    if (autoMode)
        return AutoWord;
    return manualMode == displayModeNight ? NightWord : DayWord;
}

bool displayModeRule_t::setModeText(QString const& text)
{
    if (text == AutoWord) {
        autoMode = true;
    } else if (text == DayWord) {
        autoMode = false;
        manualMode = displayModeDay;
    } else if (text == NightWord) {
        autoMode = false;
        manualMode = displayModeNight;
    } else {
        return false;
    }
    return true;
}

displayMode_t displayModeRule_t::modeAt(int now) const
{
    const int day = int(60 * dayStartHour + dayStartMinute);
    const int night = int(60 * nightStartHour + nightStartMinute);
    bool isNight;
    if (day < night)
        isNight = now < day || now >= night;
    else
        isNight = now >= night && now < day;
    return isNight ? displayModeNight : displayModeDay;
}

int displayModeRule_t::localMinuteOfDay(double dataTime, int utcOffset)
{
    const double local = std::trunc(dataTime + double(utcOffset));
    // a time the count cannot hold wraps like the 32-bit clock it stands for
    const quint32 seconds = std::isfinite(local) ? quint32(qint64(std::fmod(local, 4294967296.0))) : 0u;
    return int((seconds % SecondsPerDay) / 60);
}

QString displayModeRule_t::timeText(unsigned int hour, unsigned int minute)
{
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

bool displayModeRule_t::parseTimeText(QString const& text, unsigned int& hour, unsigned int& minute)
{
    std::istringstream stream(text.toStdString());
    unsigned int h = 0;
    unsigned int m = 0;
    char separator = 0;
    stream >> h;
    if (stream.fail())
        return false;
    stream >> separator;
    if (stream.fail())
        return false;
    stream >> m;
    if (stream.fail())
        return false;
    if (separator != ':' || h > 23 || m > 59)
        return false;
    hour = h;
    minute = m;
    return true;
}

} // namespace qc
} // namespace orvane
