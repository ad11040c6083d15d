#include "orvane/textColor.h"

#include <cmath>

namespace orvane {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

QColor textColorForBackground(QColor const& background)
{
    if (!background.isValid() || background.alpha() == 0)
        return QColor(Qt::black);
    const QColor rgb = background.toRgb();
    const double luminance =
        0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
    const double contrastWithBlack = (luminance + 0.05) / 0.05;
    const double contrastWithWhite = 1.05 / (luminance + 0.05);
    return contrastWithBlack >= contrastWithWhite ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace orvane
