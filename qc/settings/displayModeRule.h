#pragma once

#include "orvane_qc_export.h"

#include <belrix_common_qt/units.h>

#include <QString>

namespace orvane {
namespace qc {

// When the application shows its day look and when its night look: by hand, or by the
// local time of day between a day start and a night start.
struct ORVANE_QC_EXPORT displayModeRule_t {
    bool autoMode = false;
    belrix_common_qt::displayMode_t manualMode = belrix_common_qt::displayModeDay;
    unsigned int dayStartHour = 6;
    unsigned int dayStartMinute = 0;
    unsigned int nightStartHour = 19;
    unsigned int nightStartMinute = 0;

    // "auto", "day" or "night".
    QString modeText() const;
    // Takes one of the three words; false, and nothing changed, for any other text.
    bool setModeText(QString const& text);

    // The mode at a local time of day, in minutes after midnight, when automatic. Equal
    // start times give day all day.
    belrix_common_qt::displayMode_t modeAt(int minuteOfDay) const;

    // Minutes after local midnight at a data time (seconds since 1970 UTC) and a UTC offset
    // (seconds, local minus UTC), taken from a whole-second 32-bit count.
    static int localMinuteOfDay(double dataTime, int utcOffset);

    // "HH:MM", each at least two digits: 6, 0 gives "06:00".
    static QString timeText(unsigned int hour, unsigned int minute);
    // Reads an hour, one character and a minute as a C++ stream does (white space before
    // each skipped, anything after the minute ignored); true only for ":" between an hour
    // up to 23 and a minute up to 59. The outputs are written only on success.
    static bool parseTimeText(QString const& text, unsigned int& hour, unsigned int& minute);
};

} // namespace qc
} // namespace orvane
