#include "belrix_common_qt_gui/qualityConfigWidget.h"

#include "belrix_common_qt_gui/orvaneDeviceGui.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <vector>

namespace belrix_common_qt_gui {

namespace {

// One threshold: how to show it and which field of the record it is.
struct floatField_t {
    QDoubleSpinBox* box;
    float qualitySettings_t::*field;
};
struct uintField_t {
    QSpinBox* box;
    unsigned int qualitySettings_t::*field;
};
struct choiceField_t {
    QComboBox* box;
    unsigned int qualitySettings_t::*field;
};

QStringList gradeNames()
{
    return {QObject::tr("Green"), QObject::tr("Yellow"), QObject::tr("Red")};
}

// Correction levels as the grader counts them, weakest first.
QStringList correctionNames()
{
    return {QObject::tr("None"), QObject::tr("Autonomous"), QObject::tr("Differential"), QObject::tr("RTK Float"),
            QObject::tr("RTK Fixed")};
}

} // namespace

class qualityConfigWidget_t::private_t
{
public:
    QPointer<orvaneDeviceGui_t> gui;
    std::vector<floatField_t> floats;
    std::vector<uintField_t> uints;
    std::vector<choiceField_t> choices;
    bool filling = false;
    bool modified = false;

    void fill(qualitySettings_t const& settings)
    {
        filling = true;
        for (floatField_t const& f : floats)
            f.box->setValue(double(settings.*f.field));
        for (uintField_t const& f : uints)
            f.box->setValue(int(std::min<unsigned int>(settings.*f.field, unsigned(f.box->maximum()))));
        // a stored grade the list does not know leaves the combo empty rather than guessing
        for (choiceField_t const& f : choices)
            f.box->setCurrentIndex(settings.*f.field < unsigned(f.box->count()) ? int(settings.*f.field) : -1);
        filling = false;
        modified = false;
    }
};

qualityConfigWidget_t::qualityConfigWidget_t(orvaneDeviceGui_t* gui, QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->gui = gui;
    setObjectName(QStringLiteral("qualityConfigWidget"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* limits = new QGroupBox(tr("Thresholds"), this);
    auto* grid = new QGridLayout(limits);
    grid->addWidget(new QLabel(tr("Green when"), limits), 0, 1);
    grid->addWidget(new QLabel(tr("Red when"), limits), 0, 2);
    int row = 1;
    auto addFloatRow = [&](QString const& caption, char const* name, float qualitySettings_t::*good,
                           float qualitySettings_t::*bad, bool smallerIsBetter, double max, int decimals,
                           QString const& suffix) {
        grid->addWidget(new QLabel(caption, limits), row, 0);
        for (int column = 0; column < 2; ++column) {
            auto* box = new QDoubleSpinBox(limits);
            const bool goodColumn = column == 0;
            box->setObjectName(QString::fromLatin1(name) + (goodColumn ? QStringLiteral("GoodSpin") : QStringLiteral("BadSpin")));
            box->setRange(0.0, max);
            box->setDecimals(decimals);
            box->setSingleStep(decimals > 0 ? 0.1 : 1.0);
            box->setPrefix(goodColumn == smallerIsBetter ? QStringLiteral("< ") : QStringLiteral("> "));
            box->setSuffix(suffix);
            grid->addWidget(box, row, column + 1);
            d->floats.push_back({box, goodColumn ? good : bad});
        }
        ++row;
    };
    auto addUintRow = [&](QString const& caption, char const* name, unsigned int qualitySettings_t::*good,
                          unsigned int qualitySettings_t::*bad, bool smallerIsBetter, int max, QString const& suffix) {
        grid->addWidget(new QLabel(caption, limits), row, 0);
        for (int column = 0; column < 2; ++column) {
            auto* box = new QSpinBox(limits);
            const bool goodColumn = column == 0;
            box->setObjectName(QString::fromLatin1(name) + (goodColumn ? QStringLiteral("GoodSpin") : QStringLiteral("BadSpin")));
            box->setRange(0, max);
            box->setPrefix(goodColumn == smallerIsBetter ? QStringLiteral("< ") : QStringLiteral("> "));
            box->setSuffix(suffix);
            grid->addWidget(box, row, column + 1);
            d->uints.push_back({box, goodColumn ? good : bad});
        }
        ++row;
    };
    using qs = qualitySettings_t;
    addFloatRow(tr("PDOP:"), "pdop", &qs::pdopLess, &qs::pdopGreater, true, 99.9, 2, QString());
    addFloatRow(tr("HDOP:"), "hdop", &qs::hdopLess, &qs::hdopGreater, true, 99.9, 2, QString());
    addFloatRow(tr("VDOP:"), "vdop", &qs::vdopLess, &qs::vdopGreater, true, 99.9, 2, QString());
    addFloatRow(tr("Figure of Merit:"), "fom", &qs::fomLess, &qs::fomGreater, true, 1000.0, 2, tr(" m"));
    addFloatRow(tr("Signal to Noise:"), "snr", &qs::snrGreater, &qs::snrLess, false, 99.0, 1, tr(" dB-Hz"));
    addUintRow(tr("Correction Age:"), "age", &qs::ageLess, &qs::ageGreater, true, 3600, tr(" s"));
    addUintRow(tr("Satellites Used:"), "satUsed", &qs::satUsedGreater, &qs::satUsedLess, false, 64, QString());
    grid->setColumnStretch(3, 1);
    outer->addWidget(limits);

    auto* kinds = new QGroupBox(tr("Fix Kinds"), this);
    auto* kindGrid = new QGridLayout(kinds);
    int kindRow = 0;
    auto addChoice = [&](QString const& caption, char const* name, QStringList const& items,
                         unsigned int qualitySettings_t::*field) {
        auto* box = new QComboBox(kinds);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(items);
        kindGrid->addWidget(new QLabel(caption, kinds), kindRow, 0);
        kindGrid->addWidget(box, kindRow, 1);
        ++kindRow;
        d->choices.push_back({box, field});
    };
    addChoice(tr("2D Fix in Automatic Mode:"), "colorModeAuto2dCombo", gradeNames(), &qs::colorModeAuto2d);
    addChoice(tr("Single Frequency (C/A) Fix:"), "colorFreqCaCombo", gradeNames(), &qs::colorFreqCa);
    addChoice(tr("Yellow at Correction Level or Below:"), "typeCorrYellowCombo", correctionNames(), &qs::typeCorrYellow);
    addChoice(tr("Red at Correction Level or Below:"), "typeCorrRedCombo", correctionNames(), &qs::typeCorrRed);
    kindGrid->setColumnStretch(2, 1);
    outer->addWidget(kinds);
    outer->addStretch(1);

    auto edited = [this] {
        if (d->filling)
            return;
        d->modified = true;
        emit modified();
    };
    for (floatField_t const& f : d->floats)
        connect(f.box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, edited);
    for (uintField_t const& f : d->uints)
        connect(f.box, QOverload<int>::of(&QSpinBox::valueChanged), this, edited);
    for (choiceField_t const& f : d->choices)
        connect(f.box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, edited);

    d->fill(qualitySettings_t());
}

qualityConfigWidget_t::~qualityConfigWidget_t() { delete d; }

void qualityConfigWidget_t::showSettings(qualitySettings_t* settings)
{
    if (settings)
        d->fill(*settings);
}

void qualityConfigWidget_t::applySettings(qualitySettings_t* settings)
{
    if (!settings)
        return;
    for (floatField_t const& f : d->floats)
        settings->*f.field = float(f.box->value());
    for (uintField_t const& f : d->uints)
        settings->*f.field = unsigned(f.box->value());
    for (choiceField_t const& f : d->choices) {
        if (f.box->currentIndex() >= 0)
            settings->*f.field = unsigned(f.box->currentIndex());
    }
    d->modified = false;
}

bool qualityConfigWidget_t::isModified() const { return d->modified; }

void qualityConfigWidget_t::showEvent(QShowEvent* event)
{
    if (!d->modified && d->gui) {
        if (qualitySettings_t const* settings = d->gui->qualitySettings())
            d->fill(*settings);
    }
    QWidget::showEvent(event);
}

} // namespace belrix_common_qt_gui
