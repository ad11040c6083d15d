#include "belrix_common_qt_gui/headingScale.h"

#include <QtGlobal>

#include <cmath>

namespace belrix_common_qt_gui {

namespace {
const QChar Degree(0x00b0);
}

double headingScale_t::normalized(double degrees)
{
    if (!std::isfinite(degrees))
        return 0.0;
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0)
        d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

QString headingScale_t::headingText(double degrees)
{
    // round first, so that 359.96 does not read 360.0
    double tenths = std::round(normalized(degrees) * 10.0);
    if (tenths >= 3600.0)
        tenths = 0.0;
    return QStringLiteral("%1").arg(tenths / 10.0, 5, 'f', 1, QLatin1Char('0')) + Degree;
}

QString headingScale_t::blankHeadingText() { return QStringLiteral("---.-") + Degree; }

headingScale_t::graduation_t headingScale_t::graduation(int degree)
{
    const int d = ((degree % 360) + 360) % 360;
    if (d % 30 == 0)
        return graduationLabelled;
    if (d % 10 == 0)
        return graduationTen;
    if (d % 5 == 0)
        return graduationFive;
    return graduationDegree;
}

QString headingScale_t::graduationLabel(int degree, int every)
{
    const int d = ((degree % 360) + 360) % 360;
    if (every <= 0 || d % every != 0)
        return QString();
    switch (d) {
    case 0: return QStringLiteral("N");
    case 90: return QStringLiteral("E");
    case 180: return QStringLiteral("S");
    case 270: return QStringLiteral("W");
    default: return QStringLiteral("%1").arg(d, 3, 10, QLatin1Char('0'));
    }
}

double headingScale_t::tapeOffset(double degree, double heading)
{
    const double offset = normalized(degree - heading);
    return offset > 180.0 ? offset - 360.0 : offset;
}

double headingScale_t::tapeSpan(double width)
{
    // at most 16 px a degree: the strip of a 4K-wide tape then stays below 8000 px
    return qMax(60.0, width / 16.0);
}

double headingScale_t::tapePixel(double degree, double heading, double span, double width)
{
    if (!(span > 0.0))
        return width / 2.0;
    return width / 2.0 + tapeOffset(degree, heading) * width / span;
}

double headingScale_t::stripLeft(double heading, double span) { return normalized(heading) - span / 2.0; }

double headingScale_t::rotFullScale(double degreesPerMinute)
{
    static const double scales[] = {10.0, 30.0, 60.0, 120.0, 300.0};
    const double rate = std::fabs(degreesPerMinute);
    for (double scale : scales) {
        if (rate <= scale)
            return scale;
    }
    return scales[4];
}

double headingScale_t::rotBarLength(double degreesPerMinute, double fullScale, double halfWidth)
{
    if (!std::isfinite(degreesPerMinute) || !(fullScale > 0.0))
        return 0.0;
    return qBound(-1.0, degreesPerMinute / fullScale, 1.0) * halfWidth;
}

QString headingScale_t::rotText(double degreesPerMinute)
{
    const double rounded = std::round(degreesPerMinute * 10.0) / 10.0;
    const QString number = QString::number(std::fabs(rounded), 'f', 1);
    const QString sign = rounded > 0.0 ? QStringLiteral("+") : rounded < 0.0 ? QStringLiteral("-") : QString();
    return sign + number + Degree + QStringLiteral("/min");
}

QString headingScale_t::blankRotText() { return QStringLiteral("--") + Degree + QStringLiteral("/min"); }

} // namespace belrix_common_qt_gui
