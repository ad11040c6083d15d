#include "belrix_common_qt_gui/qcQualityPanel.h"

#include "belrix_common_qt_gui/qualityGrader.h"
#include "belrix_common_qt_gui/qualityLight.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <QGridLayout>
#include <QLabel>

#include <array>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {

struct rowInfo_t {
    const char* name;      // object names: <name>ValueLabel, <name>Light
    const char* caption;
};

const std::array<rowInfo_t, qcQualityPanel_t::rowCount> Rows = {{
    {"fix", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "Fix:")},
    {"satellites", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "Satellites Used:")},
    {"hdop", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "HDOP:")},
    {"pdop", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "PDOP:")},
    {"correctionAge", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "Correction Age:")},
    {"unitVariance", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "Unit Variance:")},
    {"integrity", QT_TRANSLATE_NOOP("belrix_common_qt_gui::qcQualityPanel_t", "Receiver Integrity:")},
}};

} // namespace

class qcQualityPanel_t::private_t
{
public:
    qualitySettings_t const* settings = nullptr;
    std::array<QLabel*, rowCount> values{};
    std::array<qualityLight_t*, rowCount> lights{};
    // What each row says; the labels and lights show it only while the panel is visible,
    // since a hundred hidden panels relabelled every second cost the clock tick dearly.
    std::array<QString, rowCount> texts;
    std::array<quality_t, rowCount> qualities{};
    QWidget* owner = nullptr;

    void set(int row, QString const& text, quality_t quality)
    {
        texts[row] = text;
        qualities[row] = quality;
        if (owner->isVisible())
            show(row);
    }
    void show(int row)
    {
        values[row]->setText(texts[row]);
        lights[row]->setQuality(qualities[row]);
    }
    void clear(int row) { set(row, NoDataString, qualityOff); }
};

qcQualityPanel_t::qcQualityPanel_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->owner = this;
    setObjectName(QStringLiteral("qcQualityPanel"));
    setWindowTitle(tr("QC Quality"));
    auto* layout = new QGridLayout(this);
    layout->setColumnStretch(2, 1);
    for (int row = 0; row < rowCount; ++row) {
        const QString name = QString::fromLatin1(Rows[row].name);
        auto* caption = new QLabel(tr(Rows[row].caption), this);
        auto* light = new QLabel(this);
        light->setObjectName(name + QStringLiteral("LightLabel"));
        auto* value = new QLabel(this);
        value->setObjectName(name + QStringLiteral("ValueLabel"));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        layout->addWidget(caption, row, 0);
        layout->addWidget(light, row, 1);
        layout->addWidget(value, row, 2);
        d->values[row] = value;
        d->lights[row] = new qualityLight_t(light, this);
        d->lights[row]->setObjectName(name + QStringLiteral("Light"));
    }
    layout->setRowStretch(rowCount, 1);
    clearData();
    for (int row = 0; row < rowCount; ++row)
        d->show(row);
}

qcQualityPanel_t::~qcQualityPanel_t() { delete d; }

void qcQualityPanel_t::setQualitySettings(qualitySettings_t const* settings) { d->settings = settings; }

QString qcQualityPanel_t::valueText(row_t row) const
{
    return row >= 0 && row < rowCount ? d->texts[row] : QString();
}

quality_t qcQualityPanel_t::quality(row_t row) const
{
    return row >= 0 && row < rowCount ? d->qualities[row] : qualityOff;
}

void qcQualityPanel_t::showEvent(QShowEvent* event)
{
    for (int row = 0; row < rowCount; ++row)
        d->show(row);
    QWidget::showEvent(event);
}

void qcQualityPanel_t::clearData()
{
    for (int row = 0; row < rowCount; ++row)
        d->clear(row);
}

void qcQualityPanel_t::updateData(double now, remoteDevice_t const* device)
{
    if (!device) {
        clearData();
        return;
    }
    static const qualitySettings_t defaults;
    qualitySettings_t const& settings = d->settings ? *d->settings : defaults;

    auto const& fix = device->fixQuality();
    if (isItemCurrent(fix, now))
        d->set(rowFix, fixQualityString(fix.value()), qualityGrader_t::fix(fix.value(), settings));
    else
        d->clear(rowFix);

    auto const& sats = device->satellitesUsed();
    if (isItemCurrent(sats, now))
        d->set(rowSatellites, QString::number(sats.value()), qualityGrader_t::satellitesUsed(sats.value(), settings));
    else
        d->clear(rowSatellites);

    auto const& hdop = device->hdop();
    if (isItemCurrent(hdop, now))
        d->set(rowHdop, QString::number(hdop.value(), 'f', 1), qualityGrader_t::hdop(hdop.value(), settings));
    else
        d->clear(rowHdop);

    auto const& pdop = device->pdop();
    if (isItemCurrent(pdop, now))
        d->set(rowPdop, QString::number(pdop.value(), 'f', 1), qualityGrader_t::pdop(pdop.value(), settings));
    else
        d->clear(rowPdop);

    auto const& age = device->correctionAge();
    if (isItemCurrent(age, now))
        d->set(rowCorrectionAge, tr("%1 s").arg(age.value(), 0, 'f', 1),
               qualityGrader_t::correctionAge(age.value(), settings));
    else
        d->clear(rowCorrectionAge);

    const qcDataStore_t* store = device->qcDataStore();
    if (store && !store->summary().empty() && isDataRecent(store->summary().back().timestamp, now, DataMaxAge)) {
        static const qcSettingsBase_t qcDefaults;
        const double limit = device->qcSettings() ? device->qcSettings()->unitVarianceLimit()
                                                  : qcDefaults.unitVarianceLimit();
        const double variance = store->summary().back().summary.unitVariance;
        d->set(rowUnitVariance, QString::number(variance, 'f', 2), qualityGrader_t::unitVariance(variance, limit));
    } else {
        d->clear(rowUnitVariance);
    }

    // a satellite the receiver's own fault detection names is a fault, whatever the DOPs say
    auto const& integrity = device->receiverIntegrity();
    if (!isItemCurrent(integrity, now)) {
        d->clear(rowIntegrity);
    } else if (unsigned int const failed = integrity.value().failedSatellite) {
        QString text = tr("%1 suspect").arg(navSatLabel(failed));
        if (integrity.value().bias)
            text += tr(", bias %1 m").arg(double(*integrity.value().bias), 0, 'f', 1);
        d->set(rowIntegrity, text, qualityBad);
    } else {
        d->set(rowIntegrity, tr("No fault"), qualityGood);
    }
}

} // namespace belrix_common_qt_gui
