#include "belrix_common_qt_gui/angleEdit.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {

latLonStringOptions_t currentOptions()
{
    latLonStringOptions_t options;
    options.format = guiSettings_t::get()->latLonFormat();
    options.hemisphere = 1;
    options.decimals = -1;
    return options;
}

} // namespace

class angleEdit_t::private_t
{
public:
    // The value set by program and the text it was shown as; radians() returns the value
    // while the text is still that text.
    double radians = std::numeric_limits<double>::quiet_NaN();
    QString shownText;
    bool hasValue = false;
};

angleEdit_t::angleEdit_t(QWidget* parent) : QLineEdit(parent), d(new private_t) {}

angleEdit_t::~angleEdit_t() { delete d; }

void angleEdit_t::initialize()
{
    connect(this, &QLineEdit::textChanged, this, &angleEdit_t::updateValidity);
    connect(this, &QLineEdit::editingFinished, this, &angleEdit_t::tidyText);
    connect(guiSettings_t::get(), &guiSettings_t::latLonFormatChanged, this, &angleEdit_t::updateFormat);
    updateFormat();
}

double angleEdit_t::radians() const
{
    if (d->hasValue && text() == d->shownText)
        return d->radians;
    double value = 0.0;
    if (parseAngle(text(), value))
        return value;
    return std::numeric_limits<double>::quiet_NaN();
}

bool angleEdit_t::hasValidAngle() const { return std::isfinite(radians()); }

void angleEdit_t::setRadians(double radians)
{
    double check = 0.0;
    const QString text = std::isfinite(radians) ? formatAngle(radians, currentOptions()) : QString();
    if (text.isEmpty() || !parseAngle(text, check)) {
        d->hasValue = false;
        d->shownText.clear();
        setText(QString());
        return;
    }
    d->radians = radians;
    d->shownText = text;
    d->hasValue = true;
    setText(text);
}

void angleEdit_t::updateFormat()
{
    const latLonStringOptions_t options = currentOptions();
    setPlaceholderText(example(options));
    setToolTip(tr("For example %1; degrees, degrees and minutes, or degrees, minutes and seconds, "
                  "with a hemisphere letter or a sign").arg(example(options)));
    // what is shown follows the format; an unfinished entry is left for the user
    const double value = radians();
    if (std::isfinite(value)) {
        const bool exact = d->hasValue && text() == d->shownText;
        const double keep = exact ? d->radians : value;
        setRadians(keep);
    }
}

void angleEdit_t::updateValidity()
{
    const bool bad = !text().trimmed().isEmpty() && !hasValidAngle();
    if (property("invalidInput").toBool() == bad)
        return;
    setProperty("invalidInput", bad);
    // a style sheet of its own, so the application's sheets cannot hide the mark
    setStyleSheet(bad ? QStringLiteral("color: #c0392b;") : QString());
}

void angleEdit_t::tidyText()
{
    // a typed coordinate is rewritten in the application's format once the user leaves it
    if (d->hasValue && text() == d->shownText)
        return;
    double value = 0.0;
    if (parseAngle(text(), value))
        setRadians(value);
}

} // namespace belrix_common_qt_gui
