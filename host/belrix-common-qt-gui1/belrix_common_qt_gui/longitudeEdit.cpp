#include "belrix_common_qt_gui/longitudeEdit.h"
#include <belrix_common_qt/navConstants.h>

namespace belrix_common_qt_gui {

longitudeEdit_t::longitudeEdit_t(QWidget* parent) : angleEdit_t(parent) { initialize(); }

longitudeEdit_t::~longitudeEdit_t() = default;

void longitudeEdit_t::setLongitude(double radians) { setRadians(radians); }

QString longitudeEdit_t::formatAngle(double radians, belrix_common_qt::latLonStringOptions_t const& options) const
{
    if (!(radians >= -belrix_common_qt::Pi && radians <= belrix_common_qt::Pi))
        return QString();
    return belrix_common_qt::longitudeString(radians, options);
}

bool longitudeEdit_t::parseAngle(QString const& text, double& radians) const
{
    return belrix_common_qt::parseLongitude(text, radians);
}

QString longitudeEdit_t::example(belrix_common_qt::latLonStringOptions_t const& options) const
{
    return belrix_common_qt::longitudeString(0.203622, options);
}

} // namespace belrix_common_qt_gui
