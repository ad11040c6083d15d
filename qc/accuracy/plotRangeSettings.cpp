#include "accuracy/plotRangeSettings.h"

#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <tolvconfig/configCodec.h>

namespace orvane {
namespace qc {

namespace {
const char* const KeyRange = "range";
const char* const KeyAutoScale = "auto_scale";
const char* const KeyLabels = "labels";
}

bool plotRangeSettings_t::loadPlotRange(tolvconfig::config_t const& config, keyFunction_t const& key,
                                        labelsKey_t labelsKey)
{
    plotRangeSettings_t loaded;
    double range = loaded.range;
    if (!tolvconfig::getValue(config, key(KeyRange), range))
        return false;
    if (range > 0.0)
        loaded.range = range;
    if (!tolvconfig::getValue(config, key(KeyAutoScale), loaded.autoScale))
        return false;
    QString labels;
    if (tolvconfig::getValue(config, key(KeyLabels), labels))
        loaded.labels = belrix_common_qt::graphLabelTypeFromString(labels);
    else if (labelsKey == labelsRequired)
        return false;
    *this = loaded;
    return true;
}

void plotRangeSettings_t::savePlotRange(tolvconfig::config_t& config, keyFunction_t const& key) const
{
    tolvconfig::setValue(config, key(KeyRange), range, 2);
    tolvconfig::setValue(config, key(KeyAutoScale), autoScale);
    tolvconfig::setValue(config, key(KeyLabels), belrix_common_qt::graphLabelTypeString(labels));
}

bool plotRangeSettings_t::operator==(plotRangeSettings_t const& other) const
{
    return range == other.range && autoScale == other.autoScale && labels == other.labels;
}

QString plotRangeSettings_t::rangeCaption() const
{
    const QString prefix = autoScale ? QStringLiteral("(Auto) ") : QString();
    return prefix + belrix_common_qt::distanceString(range, belrix_common_qt_gui::guiSettings_t::get()->distanceUnit(), 2);
}

} // namespace qc
} // namespace orvane
