#include "orvane/dlgLogData.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>

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
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvane {

using belrix_common_qt::logCfg_t;

class dlgLogData_t::private_t
{
public:
    QVBoxLayout* layout = nullptr;
    QGroupBox* fileGroup = nullptr;
    QLineEdit* pathEdit = nullptr;
    QComboBox* modeCombo = nullptr;
    QSpinBox* ageSpin = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* diagnosticLabel = nullptr;
    QHBoxLayout* buttonRow = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* closeButton = nullptr;
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
    d->modeCombo = new QComboBox(d->fileGroup);
    d->modeCombo->addItems({tr("New File Each Session"), tr("Append")});
    d->ageSpin = new QSpinBox(d->fileGroup);
    d->ageSpin->setRange(1, 999);
    d->ageSpin->setSuffix(tr(" days"));
    grid->addWidget(new QLabel(tr("Folder:"), d->fileGroup), 0, 0);
    grid->addWidget(d->pathEdit, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(new QLabel(tr("Mode:"), d->fileGroup), 1, 0);
    grid->addWidget(d->modeCombo, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Keep Files:"), d->fileGroup), 2, 0);
    grid->addWidget(d->ageSpin, 2, 1, 1, 2);
    d->layout->addWidget(d->fileGroup);

    d->statusLabel = new QLabel(this);
    d->layout->addWidget(d->statusLabel);
    d->diagnosticLabel = new QLabel(tr("Raw logging writes every line the device sends, with its arrival time."), this);
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
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    logCfg_t const* cfg = device ? device->logCfg(belrix_common_qt::logChannelRaw) : nullptr;
    if (cfg)
        updateLogCfg(cfg);
    checkButtons(cfg && cfg->active);
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
    d->statusLabel->setText(logging ? tr("Logging to %1").arg(QDir::toNativeSeparators(d->pathEdit->text()))
                                    : tr("Not logging"));
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
}

void dlgLogData_t::updateLogCfg(logCfg_t const* cfg)
{
    if (!cfg)
        return;
    d->pathEdit->setText(QString::fromStdString(cfg->path));
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

} // namespace orvane
