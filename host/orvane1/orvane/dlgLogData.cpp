#include "orvane/dlgLogData.h"

#include "orvane/device.h"

#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <tolvconfig/configCodec.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvane {

using belrix_common_qt::deviceLogger_t;
using belrix_common_qt::logCfg_t;

namespace {
const char* const KeyRawActive = "log_raw_active";
const char* const KeyRawMode = "log_raw_mode";
const char* const KeyRawPath = "log_raw_path";
const char* const KeyRawAge = "log_raw_age";
const char* const KeyRawPattern = "log_raw_pattern";
const char* const KeyCsvPattern = "log_csv_pattern";
constexpr unsigned int SecondsPerDay = 86400;
// beyond this an age in days no longer fits the configuration's seconds
constexpr unsigned int MaxAgeDays = 999;
} // namespace

class dlgLogData_t::private_t
{
public:
    QVBoxLayout* layout = nullptr;
    QGroupBox* fileGroup = nullptr;
    QLineEdit* pathEdit = nullptr;
    QLineEdit* patternEdit = nullptr;
    QComboBox* modeCombo = nullptr;
    QSpinBox* ageSpin = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* diagnosticLabel = nullptr;
    QHBoxLayout* buttonRow = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* closeButton = nullptr;
    QString note;
    belrix_common_qt::logChannelType_t channel = belrix_common_qt::logChannelRaw;
    QPointer<deviceLogger_t> logger;   // the device's, once known
};

dlgLogData_t::dlgLogData_t(context_t* context, QWidget* parent) : deviceDialog_t(context, parent), d(new private_t)
{
    setObjectName(QStringLiteral("dlgLogData"));
    setWindowTitle(tr("Data Logging"));
    resize(480, 260);
    setIsWindow(true);

    d->layout = new QVBoxLayout(this);
    d->fileGroup = new QGroupBox(tr("Log File"), this);
    auto* grid = new QGridLayout(d->fileGroup);
    d->pathEdit = new QLineEdit(d->fileGroup);
    auto* browseButton = new QPushButton(tr("Browse..."), d->fileGroup);
    d->patternEdit = new QLineEdit(d->fileGroup);
    d->patternEdit->setObjectName(QStringLiteral("patternEdit"));
    d->patternEdit->setPlaceholderText(tr("{device}_{date}, a new file each UTC day"));
    d->patternEdit->setToolTip(tr("{device} is the device's name, {date} the UTC day (yyyyMMdd) and {time} "
                                  "the time the file was begun (hhmmss). Without {date} all goes into one file."));
    d->modeCombo = new QComboBox(d->fileGroup);
    d->modeCombo->addItems({tr("New File Each Session"), tr("Append")});
    d->ageSpin = new QSpinBox(d->fileGroup);
    d->ageSpin->setRange(1, 999);
    d->ageSpin->setSuffix(tr(" days"));
    grid->addWidget(new QLabel(tr("Folder:"), d->fileGroup), 0, 0);
    grid->addWidget(d->pathEdit, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(new QLabel(tr("File Name:"), d->fileGroup), 1, 0);
    grid->addWidget(d->patternEdit, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Mode:"), d->fileGroup), 2, 0);
    grid->addWidget(d->modeCombo, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Keep Files:"), d->fileGroup), 3, 0);
    grid->addWidget(d->ageSpin, 3, 1, 1, 2);
    d->layout->addWidget(d->fileGroup);

    d->statusLabel = new QLabel(this);
    d->statusLabel->setObjectName(QStringLiteral("statusLabel"));
    d->statusLabel->setWordWrap(true);
    d->layout->addWidget(d->statusLabel);
    d->note = tr("Raw logging writes every line the device sends, with its arrival time.");
    d->diagnosticLabel = new QLabel(d->note, this);
    d->diagnosticLabel->setObjectName(QStringLiteral("diagnosticLabel"));
    d->diagnosticLabel->setWordWrap(true);
    d->layout->addWidget(d->diagnosticLabel);

    d->buttonRow = new QHBoxLayout;
    d->buttonRow->addStretch(1);
    d->startButton = new QPushButton(tr("Start"), this);
    d->stopButton = new QPushButton(tr("Stop"), this);
    d->closeButton = new QPushButton(tr("Close"), this);
    d->buttonRow->addWidget(d->startButton);
    d->buttonRow->addWidget(d->stopButton);
    d->buttonRow->addWidget(d->closeButton);
    d->layout->addLayout(d->buttonRow);

    connect(browseButton, &QPushButton::clicked, this, &dlgLogData_t::browse);
    connect(d->startButton, &QPushButton::clicked, this, &dlgLogData_t::startLogging);
    connect(d->stopButton, &QPushButton::clicked, this, &dlgLogData_t::stopLogging);
    connect(d->closeButton, &QPushButton::clicked, this, &QDialog::hide);

    logCfg_t defaults;
    updateLogCfg(&defaults);
    checkButtons(false);
}

dlgLogData_t::~dlgLogData_t() { delete d; }

QVBoxLayout* dlgLogData_t::layout() const { return d->layout; }

void dlgLogData_t::updateUi()
{
    setLogChannel(belrix_common_qt::logChannelRaw);
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* cfg = device ? device->logCfg(belrix_common_qt::logChannelRaw) : nullptr;
    if (cfg)
        updateLogCfg(cfg);
    checkButtons(cfg && cfg->active);
}

void dlgLogData_t::handleClockTimeout()
{
    deviceDialog_t::handleClockTimeout();
    if (isVisible())
        updateStatus();
}

void dlgLogData_t::setLogChannel(belrix_common_qt::logChannelType_t channel) { d->channel = channel; }

void dlgLogData_t::watchLogger()
{
    deviceLogger_t* logger = deviceLogger_t::forDevice(remoteDevice());
    if (logger && device())
        logger->setDeviceName(device()->deviceName());
    if (logger == d->logger)
        return;
    if (d->logger)
        d->logger->disconnect(this);
    d->logger = logger;
    if (logger)
        connect(logger, &deviceLogger_t::statusChanged, this, &dlgLogData_t::handleLoggerStatus);
}

void dlgLogData_t::handleLoggerStatus(belrix_common_qt::logChannelType_t channel)
{
    if (channel != d->channel)
        return;
    // a failure stops the channel behind the window's back: the buttons follow at once
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* cfg = device ? device->logCfg(channel) : nullptr;
    checkButtons(cfg && cfg->active);
}

void dlgLogData_t::updateStatus()
{
    watchLogger();
    if (!d->logger) {
        d->statusLabel->setText(tr("Not logging"));
        d->diagnosticLabel->setText(d->note);
        return;
    }
    d->statusLabel->setText(d->logger->status(d->channel));
    QString diagnostic = d->note;
    const QString file = d->logger->fileName(d->channel);
    if (!file.isEmpty())
        diagnostic += QLatin1Char('\n') + tr("File: %1").arg(QDir::toNativeSeparators(file)) + QLatin1Char('\n')
                      + tr("Bytes written: %1").arg(d->logger->bytesWritten(d->channel));
    if (!d->logger->errorString(d->channel).isEmpty())
        diagnostic += QLatin1Char('\n') + tr("Stopped: %1").arg(d->logger->errorString(d->channel));
    d->diagnosticLabel->setText(diagnostic);
}

void dlgLogData_t::startLogging()
{
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device || !validateInput())
        return;
    logCfg_t cfg;
    setLogCfg(&cfg);
    device->setLogCfg(belrix_common_qt::logChannelRaw, cfg);
    checkButtons(true);
    emit configurationModified();
}

void dlgLogData_t::stopLogging()
{
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* current = device ? device->logCfg(belrix_common_qt::logChannelRaw) : nullptr;
    if (!current)
        return;
    logCfg_t cfg = *current;
    cfg.active = false;
    device->setLogCfg(belrix_common_qt::logChannelRaw, cfg);
    checkButtons(false);
    emit configurationModified();
}

void dlgLogData_t::checkButtons(bool logging)
{
    d->startButton->setEnabled(!logging && remoteDevice());
    d->stopButton->setEnabled(logging);
    d->fileGroup->setEnabled(!logging);
    updateStatus();
}

void dlgLogData_t::addButton(QPushButton* button)
{
    if (button)
        d->buttonRow->insertWidget(d->buttonRow->indexOf(d->closeButton), button);
}

bool dlgLogData_t::validateInput()
{
    QStringList problems;
    const QString path = d->pathEdit->text().trimmed();
    if (path.isEmpty()) {
        problems << tr("No log folder is given.");
    } else {
        QFileInfo info(path);
        if (info.exists() && !info.isDir())
            problems << tr("%1 is not a folder.").arg(path);
        else if (info.exists() && !info.isWritable())
            problems << tr("The folder %1 cannot be written.").arg(path);
        else if (!info.exists() && !QDir().mkpath(path))
            problems << tr("The folder %1 cannot be created.").arg(path);
    }
    const QString pattern = d->patternEdit->text().trimmed();
    if (pattern.contains(QLatin1Char('/')) || pattern.contains(QLatin1Char('\\')))
        problems << tr("The file name %1 must not name a folder.").arg(pattern);
    if (problems.isEmpty())
        return true;
    QMessageBox::warning(this, tr("Data Logging"), problems.join(QLatin1Char('\n')));
    return false;
}

void dlgLogData_t::setLogCfg(logCfg_t* cfg) const
{
    if (!cfg)
        return;
    // A configuration is taken from the form to start logging with it.
    cfg->active = true;
    cfg->path = d->pathEdit->text().trimmed().toStdString();
    cfg->mode = d->modeCombo->currentIndex();
    cfg->age = unsigned(d->ageSpin->value()) * belrix_common_qt::SECONDS_PER_DAY;
    cfg->pattern = d->patternEdit->text().trimmed().toStdString();
    // the configuration is about to be set: the device's logger must be there to act on it
    if (deviceLogger_t* logger = deviceLogger_t::forDevice(remoteDevice()))
        if (device())
            logger->setDeviceName(device()->deviceName());
}

void dlgLogData_t::updateLogCfg(logCfg_t const* cfg)
{
    if (!cfg)
        return;
    d->pathEdit->setText(QString::fromStdString(cfg->path));
    d->patternEdit->setText(QString::fromStdString(cfg->pattern));
    d->modeCombo->setCurrentIndex(cfg->mode == 1 ? 1 : 0);
    const int days = int(cfg->age / belrix_common_qt::SECONDS_PER_DAY);
    d->ageSpin->setValue(days < 1 ? 1 : days);
}

void dlgLogData_t::setDiagnosticVisible(bool visible) { d->diagnosticLabel->setVisible(visible); }

void dlgLogData_t::browse()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Log Folder"), d->pathEdit->text());
    if (!dir.isEmpty())
        d->pathEdit->setText(dir);
}

void dlgLogData_t::saveSettings(tolvconfig::config_t& config, int index)
{
    deviceDialog_t::saveSettings(config, index);
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    if (logCfg_t const* raw = device->logCfg(belrix_common_qt::logChannelRaw)) {
        tolvconfig::setValue(config, outputKey(KeyRawActive), raw->active);
        tolvconfig::setValue(config, outputKey(KeyRawMode), raw->mode);
        tolvconfig::setValue(config, outputKey(KeyRawPath), raw->path);
        tolvconfig::setValue(config, outputKey(KeyRawAge), raw->age / SecondsPerDay);
        tolvconfig::setValue(config, outputKey(KeyRawPattern), raw->pattern);
    }
    if (logCfg_t const* csv = device->logCfg(belrix_common_qt::logChannelExternal))
        tolvconfig::setValue(config, outputKey(KeyCsvPattern), csv->pattern);
}

void dlgLogData_t::loadSettings(tolvconfig::config_t& config, int index)
{
    deviceDialog_t::loadSettings(config, index);
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    std::string pattern;
    if (tolvconfig::getValue(config, outputKey(KeyCsvPattern), pattern)) {
        logCfg_t csv;
        if (logCfg_t const* current = device->logCfg(belrix_common_qt::logChannelExternal))
            csv = *current;
        csv.pattern = pattern;
        device->setLogCfg(belrix_common_qt::logChannelExternal, csv);
    }
    std::string path;
    if (!tolvconfig::getValue(config, outputKey(KeyRawPath), path))
        return;
    logCfg_t raw;
    raw.path = path;
    tolvconfig::getValue(config, outputKey(KeyRawPattern), raw.pattern);
    int mode = 0;
    if (tolvconfig::getValue(config, outputKey(KeyRawMode), mode) && (mode == 0 || mode == 1))
        raw.mode = mode;
    unsigned int days = 0;
    if (tolvconfig::getValue(config, outputKey(KeyRawAge), days) && days >= 1 && days <= MaxAgeDays)
        raw.age = days * SecondsPerDay;
    tolvconfig::getValue(config, outputKey(KeyRawActive), raw.active);
    device->setLogCfg(belrix_common_qt::logChannelRaw, raw);
    updateUi();
}

} // namespace orvane
