#include "forecast/dlgSatelliteForecast.h"

#include "ui_dlgSatelliteForecast.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/fixHistory.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/satForecaster.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/forecastGraph.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/hdopForecasterGraph.h>
#include <belrix_common_qt_gui/numSatsForecasterGraph.h>
#include <belrix_common_qt_gui/pdopForecasterGraph.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <belrix_common_qt_gui/vdopForecasterGraph.h>
#include <orvane/context.h>

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

namespace {

constexpr int RefreshIntervalMs = 300000;
constexpr int ResizeDelayMs = 500;
// the GUI thread's longest stretch in the forecast loop before events get their turn
constexpr qint64 SliceMs = 15;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The span in seconds; a span beyond ten years is taken as none, rather than overflowing.
qint32 spanSeconds(satelliteCalculationConfigSettings_t const& settings)
{
    const qint64 seconds = qint64(settings.durationHours) * 3600;
    return seconds > 0 && seconds <= qint64(3660) * 24 * 3600 ? qint32(seconds) : 0;
}

// One quantity of a step of the device's fix history; NaN where it was not reported.
double reportedValue(fixSample_t const& sample, forecasterType_t type)
{
    switch (type) {
    case forecasterNumSats: return sample.satellitesUsed >= 0 ? double(sample.satellitesUsed) : NaN;
    case forecasterHdop: return double(sample.hdop);
    case forecasterVdop: return double(sample.vdop);
    case forecasterPdop: return double(sample.pdop);
    }
    return NaN;
}

} // namespace

class dlgSatelliteForecast_t::private_t
{
public:
    Ui::dlgSatelliteForecast ui;
    satelliteCalculationConfigSettings_t settings;
    QList<QGroupBox*> graphGroups;
    QList<forecastGraph_t*> forecastGraphs;
    QList<forecasterGraph_t*> forecasterGraphs;
    bool initialized = false;
    QPushButton* refreshButton = nullptr;
    QPushButton* settingsButton = nullptr;
    QTimer* refreshTimer = nullptr;
    QTimer resizeTimer;

    // The forecast loop between slices.
    struct run_t {
        bool active = false;
        quint32 t = 0;
        quint32 end = 0;
        quint32 step = 1;
        double lat = 0.0;
        double lon = 0.0;
        double height = 0.0;
        double mask = 0.0;   // radians
        bool graded = false;
        qualitySettings_t quality;
        int samples = 0;
        bool startNotCovered = false;
    } run;
    QTimer sliceTimer;

    orvane::context_t* context = nullptr;

    satForecaster_t* forecaster() const
    {
        return context ? context->controllerContext()->satForecaster() : nullptr;
    }

    bool hasAlmanac() const
    {
        remoteController_t const* controller = context ? context->controllerContext()->controller() : nullptr;
        return controller
            && ((controller->almMgrGps() && controller->almMgrGps()->num() > 0)
                || (controller->almMgrGlonass() && controller->almMgrGlonass()->num() > 0));
    }

    // Runs the loop until its end, its first invalid time or the end of a slice.
    void forecastSlice();
    // The device's reported values of one quantity over [from, to], from its fix history.
    static QVector<QPointF> reportedHistory(remoteDevice_t const* device, forecasterType_t type, double from,
                                            double to);
    // The present and the past against which the forecast is read.
    void showPresent(remoteDevice_t const* device);
    // Why the graphs are empty, in full and in short; none when they are not.
    QStringList emptyReason() const;
    void updateMessage();
};

void dlgSatelliteForecast_t::private_t::forecastSlice()
{
    sliceTimer.stop();
    satForecaster_t* f = forecaster();
    if (!run.active || !f) {
        run.active = false;
        updateMessage();
        return;
    }
    // one forecaster serves every window: its inputs are set again on every slice
    f->setPosition(run.lat, run.lon, run.height);
    f->setElevationMask(run.mask);
    QElapsedTimer slice;
    slice.start();
    qualitySettings_t const* quality = run.graded ? &run.quality : nullptr;
    while (run.t < run.end) {
        f->setForecastTime(double(run.t));
        if (!f->forecastTimeValid()) {
            run.startNotCovered = run.samples == 0;
            break;
        }
        satForecastOutput_t output;
        f->forecast(output);
        for (forecasterGraph_t* graph : forecasterGraphs)
            graph->addPointNow(double(run.t), output, quality);
        ++run.samples;
        // the end of 32-bit time ends the loop rather than wrapping to 1970
        if (run.t > std::numeric_limits<quint32>::max() - run.step)
            break;
        run.t += run.step;
        if (run.t < run.end && slice.elapsed() >= SliceMs) {
            sliceTimer.start();
            return;
        }
    }
    run.active = false;
    updateMessage();
}

QVector<QPointF> dlgSatelliteForecast_t::private_t::reportedHistory(remoteDevice_t const* device, forecasterType_t type,
                                                                    double from, double to)
{
    QVector<QPointF> points;
    if (!device)
        return points;
    fixHistory_t const& history = device->fixHistory();
    for (int i = 0; i < history.count(); ++i) {
        fixSample_t const& sample = history.at(i);
        if (sample.time >= from && sample.time <= to)
            points.append(QPointF(sample.time, reportedValue(sample, type)));
    }
    return points;
}

void dlgSatelliteForecast_t::private_t::showPresent(remoteDevice_t const* device)
{
    const double now = dataTimestamp();
    for (int i = 0; i < forecastGraphs.size(); ++i) {
        forecastGraph_t* graph = forecastGraphs.at(i);
        graph->setNow(now);
        const forecasterType_t type = i < forecasterGraphs.size() ? forecasterGraphs.at(i)->type() : graph->forecasterType();
        graph->setHistory(reportedHistory(device, type, graph->startTime(), std::min(now, graph->endTime())));
    }
}

QStringList dlgSatelliteForecast_t::private_t::emptyReason() const
{
    if (!hasAlmanac())
        return {tr("No almanac yet. The forecast needs a GPS or GLONASS almanac, which receivers send "
                   "from time to time; it appears here as soon as one has arrived."),
                tr("No almanac")};
    if (!forecaster())
        return {tr("No satellite forecaster is available."), tr("No forecaster")};
    // the last drawing before the position was lost stays in view
    if (!initialized && run.samples == 0)
        return {tr("Waiting for the device's current position and height."), tr("Waiting for a position")};
    if (!run.active && run.startNotCovered) {
        const QDateTime start = settings.startTime.toUTC().addSecs(guiSettings_t::get()->utcOffset());
        return {tr("The almanac does not cover the start of the forecast (%1).").arg(start.toString(TimeFormatString)),
                tr("Start not covered by the almanac")};
    }
    return {};
}

void dlgSatelliteForecast_t::private_t::updateMessage()
{
    // the first graph says it in full, the others in short
    const QStringList reason = emptyReason();
    for (int i = 0; i < forecastGraphs.size(); ++i)
        forecastGraphs.at(i)->setMessage(reason.value(i == 0 ? 0 : 1));
}

dlgSatelliteForecast_t::dlgSatelliteForecast_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    d->context = context;
    setIsWindow(true);
    d->ui.setupUi(this);

    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
    d->refreshButton = new QPushButton(tr("Refresh"), this);
    d->refreshButton->setObjectName(QStringLiteral("refreshButton"));
    d->ui.buttonBox->addButton(d->refreshButton, QDialogButtonBox::ResetRole);
    connect(d->settingsButton, &QPushButton::clicked, this, &dlgSatelliteForecast_t::showConfigSettings);
    connect(d->refreshButton, &QPushButton::clicked, this, &dlgSatelliteForecast_t::refresh);

    remoteController_t* controller = context ? context->controllerContext()->controller() : nullptr;
    if (controller) {
        d->ui.almanacInfoWidget->setAlmMgrGps(controller->almMgrGps());
        d->ui.almanacInfoWidget->setAlmMgrGlonass(controller->almMgrGlonass());
        // An almanac that arrives while the graphs wait for one recomputes them, once the
        // burst of entries is over (the resize delay serves as that pause).
        auto almanacChanged = [this] {
            const bool waiting = !d->hasAlmanac() || d->run.startNotCovered;
            d->updateMessage();
            if (waiting && d->initialized)
                d->resizeTimer.start(ResizeDelayMs);
        };
        connect(controller->almMgrGps(), &almMgrGps_t::almanacUpdated, this, almanacChanged);
        connect(controller->almMgrGps(), &almMgrGps_t::cleared, this, almanacChanged);
        connect(controller->almMgrGlonass(), &almMgrGlonass_t::almanacUpdated, this, almanacChanged);
        connect(controller->almMgrGlonass(), &almMgrGlonass_t::cleared, this, almanacChanged);
    }

    d->graphGroups = {d->ui.graph1Group, d->ui.graph2Group, d->ui.graph3Group, d->ui.graph4Group};
    for (QGroupBox* box : d->graphGroups)
        d->forecastGraphs.append(new forecastGraph_t(box, this));
    // one span for all four: the lowest graph's time labels serve the others when space is short
    for (int i = 0; i + 1 < d->forecastGraphs.size(); ++i)
        d->forecastGraphs.at(i)->setTimeLabelsOptional(true);
    d->forecasterGraphs = {new numSatsForecasterGraph_t(this), new hdopForecasterGraph_t(this),
                           new vdopForecasterGraph_t(this), new pdopForecasterGraph_t(this)};

    setConfigSettings(satelliteCalculationConfigSettings_t());
    setSettingsButtonVisible(false);

    d->refreshTimer = new QTimer(this);
    d->refreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    d->refreshTimer->setInterval(RefreshIntervalMs);
    connect(d->refreshTimer, &QTimer::timeout, this, &dlgSatelliteForecast_t::refresh);
    // a child, so that it can be found, though it is a member
    d->resizeTimer.setParent(this);
    d->resizeTimer.setObjectName(QStringLiteral("resizeTimer"));
    d->resizeTimer.setSingleShot(true);
    connect(&d->resizeTimer, &QTimer::timeout, this, &dlgSatelliteForecast_t::updateResize);
    d->sliceTimer.setParent(this);
    d->sliceTimer.setObjectName(QStringLiteral("sliceTimer"));
    d->sliceTimer.setSingleShot(true);
    d->sliceTimer.setInterval(0);
    connect(&d->sliceTimer, &QTimer::timeout, this, [this] { d->forecastSlice(); });

    guiSettings_t* gui = guiSettings_t::get();
    auto relabel = [this] {
        if (d->initialized)
            updateSettingsInfo();
    };
    connect(gui, &guiSettings_t::latLonFormatChanged, this, relabel);
    connect(gui, &guiSettings_t::distanceUnitChanged, this, relabel);
    connect(gui, &guiSettings_t::utcOffsetChanged, this, relabel);
    d->updateMessage();
}

dlgSatelliteForecast_t::~dlgSatelliteForecast_t() { delete d; }

void dlgSatelliteForecast_t::setSettingsButtonVisible(bool v)
{
    // A button box shows every button it holds again when the style changes, as on a switch
    // to the night look: the hidden button is kept out of it.
    QPushButton* shown = v ? d->settingsButton : d->refreshButton;
    QPushButton* hidden = v ? d->refreshButton : d->settingsButton;
    d->ui.buttonBox->removeButton(hidden);
    hidden->setParent(this);
    hidden->hide();
    if (d->ui.buttonBox->buttonRole(shown) == QDialogButtonBox::InvalidRole)
        d->ui.buttonBox->addButton(shown, v ? QDialogButtonBox::ActionRole : QDialogButtonBox::ResetRole);
    shown->show();
}

void dlgSatelliteForecast_t::setInitalized(bool initialized)
{
    d->initialized = initialized;
    d->updateMessage();
}

bool dlgSatelliteForecast_t::initialized() const { return d->initialized; }

void dlgSatelliteForecast_t::clear()
{
    for (forecasterGraph_t* graph : d->forecasterGraphs)
        graph->clear();
}

void dlgSatelliteForecast_t::handleClockTimeout()
{
    if (isVisible())
        d->showPresent(remoteDevice());
    if (!remoteDevice() || d->initialized)
        return;
    initializeSettings();
    if (!d->refreshTimer->isActive() && d->settings.durationHours == 6)
        d->refreshTimer->start();
}

void dlgSatelliteForecast_t::setConfigSettings(satelliteCalculationConfigSettings_t s)
{
    d->settings = s;
    for (int i = 0; i < d->forecasterGraphs.size() && i < d->forecastGraphs.size(); ++i) {
        forecasterGraph_t* series = d->forecasterGraphs.at(i);
        // a record with fewer entries than boxes leaves a box with its own quantity
        d->forecastGraphs.at(i)->setForecasterType(i < d->settings.usedGraphs.size() ? d->settings.usedGraphs.at(i)
                                                                                      : series->type());
        series->setGraph(d->forecastGraphs.at(i));
        d->forecastGraphs.at(i)->setGraphDuration(spanSeconds(d->settings));
    }
    updateGraphs();
}

satelliteCalculationConfigSettings_t dlgSatelliteForecast_t::configSettings() const { return d->settings; }

void dlgSatelliteForecast_t::updateSettingsInfo()
{
    guiSettings_t const* gui = guiSettings_t::get();
    latLonStringOptions_t options;
    options.format = gui->latLonFormat();
    options.hemisphere = 1;
    options.decimals = -1;
    position_t const& p = d->settings.position;
    d->ui.latitudeLabel->setText(p.latValid ? latitudeString(p.lat, options) : NoDataString);
    d->ui.longitudeLabel->setText(p.lonValid ? longitudeString(p.lon, options) : NoDataString);
    d->ui.heightLabel->setText(distanceString(d->settings.height, gui->distanceUnit(), 2));
    const QDateTime start = d->settings.startTime.toUTC().addSecs(gui->utcOffset());
    d->ui.startTimeLabel->setText(start.toString(TimeFormatString));
    d->ui.endTimeLabel->setText(start.addSecs(qint64(d->settings.durationHours) * 3600).toString(TimeFormatString));
    d->ui.elevMaskLabel->setText(QString::number(d->settings.elevationMask, 'g', 6));
}

void dlgSatelliteForecast_t::updateGraphs()
{
    if (!d->initialized)
        return;
    updateSettingsInfo();
    clear();
    d->run = private_t::run_t();
    d->sliceTimer.stop();
    if (!remoteDevice() || !d->settings.startTime.isValid()) {
        d->updateMessage();
        return;
    }
    qualitySettings_t const* quality = deviceQualitySettings();

    const qint32 duration = spanSeconds(d->settings);
    const quint32 start = quint32(d->settings.startTime.toSecsSinceEpoch());
    const quint32 end = start + quint32(duration);
    double widest = 60.0;
    for (forecastGraph_t* graph : d->forecastGraphs) {
        graph->timeBounds(double(start), double(end));
        graph->setGraphDuration(duration);
        if (graph->dataWidth() > widest)
            widest = graph->dataWidth();
    }
    const qint64 step = qint64(double(duration) / widest);

    private_t::run_t& run = d->run;
    run.active = true;
    run.t = start;
    run.end = end;
    // a span shorter than the graph is wide still moves on
    run.step = quint32(std::max<qint64>(1, step));
    run.lat = d->settings.position.lat;
    run.lon = d->settings.position.lon;
    run.height = d->settings.height;
    run.mask = d->settings.elevationMask * 3.141592653589793 / 180.0;
    run.graded = quality != nullptr;
    if (quality)
        run.quality = *quality;
    d->showPresent(remoteDevice());
    // The loop starts once control is back in the event loop: the window opens at once, and
    // a second call before then (a refresh sets the inputs and redraws twice) costs nothing.
    d->sliceTimer.start();
}

void dlgSatelliteForecast_t::refresh() { initializeSettings(); }

void dlgSatelliteForecast_t::updateResize()
{
    if (d->resizeTimer.isActive())
        d->resizeTimer.stop();
    refresh();
}

void dlgSatelliteForecast_t::showConfigSettings() {}

bool dlgSatelliteForecast_t::deviceSettings(satelliteCalculationConfigSettings_t& record, double startOffset,
                                            qint32 hours) const
{
    remoteDevice_t const* device = remoteDevice();
    if (!device)
        return false;
    const double now = dataTimestamp();
    dataItem_t<position_t> const& p = device->displayPosition();
    const bool positionCurrent = isItemCurrent(p, now);
    dataItem_t<double> const& h = device->ellipsoidalHeight();
    const bool heightKnown = isItemCurrent(h, now);
    record = satelliteCalculationConfigSettings_t();
    record.position.lat = p.value().lat;
    record.position.latValid = positionCurrent && p.value().latValid;
    record.position.lon = p.value().lon;
    record.position.lonValid = positionCurrent && p.value().lonValid;
    if (heightKnown)
        record.height = h.value();
    record.startTime = QDateTime::fromSecsSinceEpoch(qint64(now + startOffset), Qt::UTC);
    record.elevationMask = device->elevationMask();
    record.durationHours = hours;
    return record.position.latValid && record.position.lonValid && heightKnown;
}

void dlgSatelliteForecast_t::initializeSettings()
{
    if (!remoteDevice())
        return;
    satelliteCalculationConfigSettings_t record;
    const bool known = deviceSettings(record, -7200.0, 6);
    setConfigSettings(record);
    setInitalized(known);
    if (initialized())
        updateGraphs();
}

void dlgSatelliteForecast_t::resizeEvent(QResizeEvent* event)
{
    d->resizeTimer.start(ResizeDelayMs);
    qcDeviceDialog_t::resizeEvent(event);
}

} // namespace qc
} // namespace orvane
