#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QString>

namespace belrix_common_qt_gui {

// The arithmetic of the heading displays, apart from painting: headings in degrees true,
// graduations of a compass card, the offset of a graduation on a moving tape and the
// length of a rate-of-turn bar.
class BELRIX_COMMON_QT_GUI_EXPORT headingScale_t
{
public:
    // How strongly a whole degree is marked.
    enum graduation_t { graduationDegree, graduationFive, graduationTen, graduationLabelled };

    // Into [0, 360); what is not finite gives 0.
    static double normalized(double degrees);
    // Three digits and one decimal, as a navigator reads it: "005.3°"; 359.96 reads "000.0°".
    static QString headingText(double degrees);
    static QString blankHeadingText();
    static graduation_t graduation(int degree);
    // The label of a graduation on a scale labelled every `every` degrees: "N", "E", "S", "W"
    // on the cardinal points, three digits ("030") on the others; empty between labels.
    static QString graduationLabel(int degree, int every);

    // Degrees from the heading to a graduation the short way round, in (-180, 180]: where a
    // tape centred on heading shows it, right of the lubber line when positive.
    static double tapeOffset(double degree, double heading);
    // The degrees a tape width pixels wide shows: 60, or more on a wide tape, so that its
    // strip of graduations stays a pixmap of reasonable size.
    static double tapeSpan(double width);
    // Where a tape width pixels wide that shows span degrees centred on heading has degree.
    static double tapePixel(double degree, double heading, double span, double width);
    // A tape is cut from one strip of graduations drawn from -span / 2 to 360 + span / 2
    // degrees (unwrapped, so the strip repeats around north): the strip's degree at the
    // tape's left edge.
    static double stripLeft(double heading, double span);

    // The bar's full scale in degrees per minute: the smallest of 10, 30, 60, 120 and 300 that
    // holds the rate; 300 beyond.
    static double rotFullScale(double degreesPerMinute);
    // The bar's signed length in pixels for a half-width of halfWidth, to starboard
    // (right) when positive, held at the full scale.
    static double rotBarLength(double degreesPerMinute, double fullScale, double halfWidth);
    // "+12.3°/min"; a rate that rounds to zero has no sign.
    static QString rotText(double degreesPerMinute);
    static QString blankRotText();
};

} // namespace belrix_common_qt_gui
