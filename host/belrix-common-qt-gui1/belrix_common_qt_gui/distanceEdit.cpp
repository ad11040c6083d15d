#include "belrix_common_qt_gui/distanceEdit.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
// Far beyond any plot range or antenna height, and still exact to the shown decimals.
constexpr double Limit = 1.0e9;
}

class distanceEdit_t::private_t
{
public:
    double meters = 0.0;
    bool allowNegative = false;
    bool updating = false;   // the box is being set by program, not typed into
};

distanceEdit_t::distanceEdit_t(QWidget* parent) : QDoubleSpinBox(parent), d(new private_t)
{
    setDecimals(2);
    setRange(0.0, Limit);
    setAccelerated(true);
    setKeyboardTracking(true);
    connect(this, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &distanceEdit_t::handleValueChanged);
    connect(guiSettings_t::get(), &guiSettings_t::distanceUnitChanged, this, &distanceEdit_t::updateUnit);
    updateUnit();
}

distanceEdit_t::~distanceEdit_t() { delete d; }

void distanceEdit_t::setDistance(double value, distanceUnit_t unit)
{
    double meters = unitToMeters(value, unit);
    if (!std::isfinite(meters))
        meters = 0.0;
    if (!d->allowNegative && meters < 0.0)
        meters = 0.0;
    const bool changed = meters != d->meters;
    d->meters = meters;
    updateUnit();
    if (changed)
        emit distanceChanged(d->meters);
}

double distanceEdit_t::meters() const { return d->meters; }

void distanceEdit_t::allowNegative(bool allow)
{
    d->allowNegative = allow;
    if (!allow && d->meters < 0.0) {
        d->meters = 0.0;
        emit distanceChanged(d->meters);
    }
    updateUnit();
}

bool distanceEdit_t::negativeAllowed() const { return d->allowNegative; }

void distanceEdit_t::updateUnit()
{
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    d->updating = true;
    setSuffix(QLatin1Char(' ') + distanceUnitSymbol(unit));
    setRange(d->allowNegative ? -Limit : 0.0, Limit);
    setValue(metersToUnit(d->meters, unit));
    d->updating = false;
}

void distanceEdit_t::handleValueChanged(double value)
{
    if (d->updating)
        return;
    d->meters = unitToMeters(value, guiSettings_t::get()->distanceUnit());
    emit distanceChanged(d->meters);
}

} // namespace belrix_common_qt_gui
