#include "belrix_common_qt_gui/latitudeEdit.h"

namespace belrix_common_qt_gui {

latitudeEdit_t::latitudeEdit_t(QWidget* parent) : angleEdit_t(parent) { initialize(); }

latitudeEdit_t::~latitudeEdit_t() = default;

void latitudeEdit_t::setLatitude(double radians) { setRadians(radians); }

QString latitudeEdit_t::formatAngle(double radians, belrix_common_qt::latLonStringOptions_t const& options) const
{
    if (!(radians >= -1.5707963267948966 && radians <= 1.5707963267948966))
        return QString();
    return belrix_common_qt::latitudeString(radians, options);
}

bool latitudeEdit_t::parseAngle(QString const& text, double& radians) const
{
    return belrix_common_qt::parseLatitude(text, radians);
}

QString latitudeEdit_t::example(belrix_common_qt::latLonStringOptions_t const& options) const
{
    // a position in the Kattegat
    return belrix_common_qt::latitudeString(1.007176, options);
}

} // namespace belrix_common_qt_gui
