#include "dlgDeviceConfig.h"

#include <belrix_common_qt/navConstants.h>
#include <orvane/device.h>
#include <tolvcommon_qt_gui/colorPicker.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orvane {
namespace app {

namespace {
constexpr int FullReceiver = capFullReceiver;
constexpr int HeadingDevice = capHeading;

QSpinBox* portBox(QWidget* parent, QString const& name, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, 65535);
    box->setValue(value);
    return box;
}
} // namespace

class dlgDeviceConfig_t::private_t
{
public:
    deviceConfig_t original;
    QStringList taken;
    int hiddenBits = 0;   // capability bits the dialog does not show, kept as they were

    QLineEdit* name = nullptr;
    QComboBox* type = nullptr;
    QList<QCheckBox*> capabilityBoxes;
    QLabel* mask = nullptr;
    tolvcommon_qt_gui::colorPicker_t* color = nullptr;
    QComboBox* kind = nullptr;
    QStackedWidget* pages = nullptr;
    QComboBox* simulated = nullptr;
    QLineEdit* path = nullptr;
    QDoubleSpinBox* rate = nullptr;
    QCheckBox* loop = nullptr;
    QLineEdit* tcpHost = nullptr;
    QSpinBox* tcpPort = nullptr;
    QSpinBox* udpPort = nullptr;
    QLineEdit* udpAddress = nullptr;
    QComboBox* serialPort = nullptr;
    QComboBox* baudRate = nullptr;
    QComboBox* parity = nullptr;
    QLineEdit* gpsdHost = nullptr;
    QSpinBox* gpsdPort = nullptr;
    QLineEdit* gpsdDevice = nullptr;
    QCheckBox* allowMissingChecksum = nullptr;
    QLabel* preview = nullptr;

    int capabilityMask() const
    {
        int mask = hiddenBits;
        QList<capability_t> const list = capabilities();
        for (int i = 0; i < list.size(); ++i) {
            // a box checked as it was keeps the bits it was checked by
            int const kept = original.capabilities & (list.at(i).bit | list.at(i).alternates);
            if (capabilityBoxes.at(i)->isChecked())
                mask |= kept ? kept : list.at(i).bit;
        }
        return mask;
    }
};

QList<dlgDeviceConfig_t::capability_t> dlgDeviceConfig_t::capabilities()
{
    return {
        {capSignalStatus, capSignalStatusAlt, tr("Signal status panel")},
        {capPositions, 0, tr("Positions: man overboard, take fix, position comparison")},
        {capDeviceGraphs, capDeviceGraphsAlt, tr("Device graphs and quality display configuration")},
        {capErrorEllipse, 0, tr("Error ellipse")},
        {capQc, 0, tr("QC settings, QC graphs and QC quality panel")},
        {capSatellites, 0, tr("Satellite forecast and calculation")},
        {capHeading, 0, tr("Heading displays: compass rose and tape")},
    };
}

dlgDeviceConfig_t::dlgDeviceConfig_t(QWidget* parent) : QDialog(parent), d(new private_t)
{
    setObjectName(QStringLiteral("dlgDeviceConfig"));
    setWindowTitle(tr("Device"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // identity
    auto* identity = new QGroupBox(tr("Device"), this);
    auto* form = new QFormLayout(identity);
    d->name = new QLineEdit(identity);
    d->name->setObjectName(QStringLiteral("nameEdit"));
    d->type = new QComboBox(identity);
    d->type->setObjectName(QStringLiteral("typeBox"));
    d->type->addItem(tr("GNSS receiver"), QString::fromLatin1(belrix_common_qt::deviceNameGnss));
    d->type->addItem(tr("Gyro compass"), QString::fromLatin1(belrix_common_qt::deviceNameGyro));
    d->color = new tolvcommon_qt_gui::colorPicker_t(identity);
    d->color->setObjectName(QStringLiteral("colorPicker"));
    form->addRow(tr("Name:"), d->name);
    form->addRow(tr("Type:"), d->type);
    form->addRow(tr("Colour:"), d->color);

    // capabilities
    auto* caps = new QGroupBox(tr("Capabilities"), this);
    auto* capsLayout = new QVBoxLayout(caps);
    for (capability_t const& c : capabilities()) {
        auto* box = new QCheckBox(c.text, caps);
        box->setObjectName(QStringLiteral("capability%1").arg(c.bit));
        capsLayout->addWidget(box);
        d->capabilityBoxes.append(box);
        connect(box, &QCheckBox::toggled, this, &dlgDeviceConfig_t::updatePreview);
    }
    auto* typical = new QPushButton(tr("Typical for the Type"), caps);
    typical->setObjectName(QStringLiteral("typicalButton"));
    d->mask = new QLabel(caps);
    d->mask->setObjectName(QStringLiteral("maskLabel"));
    auto* maskRow = new QHBoxLayout;
    maskRow->addWidget(typical);
    maskRow->addStretch(1);
    maskRow->addWidget(d->mask);
    capsLayout->addLayout(maskRow);
    connect(typical, &QPushButton::clicked, this, [this] {
        bool const gyro = d->type->currentData().toString() == QLatin1String(belrix_common_qt::deviceNameGyro);
        int const mask = gyro ? HeadingDevice : FullReceiver;
        QList<capability_t> const list = capabilities();
        for (int i = 0; i < list.size(); ++i)
            d->capabilityBoxes.at(i)->setChecked(mask & list.at(i).bit);
    });

    // source
    auto* source = new QGroupBox(tr("Source"), this);
    auto* sourceLayout = new QVBoxLayout(source);
    d->kind = new QComboBox(source);
    d->kind->setObjectName(QStringLiteral("sourceKindBox"));
    d->pages = new QStackedWidget(source);
    auto addPage = [&](QString const& title, sourceAddress_t::kind_t kind) {
        auto* page = new QWidget(d->pages);
        d->kind->addItem(title, int(kind));
        d->pages->addWidget(page);
        auto* layout = new QFormLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        return layout;
    };
    addPage(tr("None"), sourceAddress_t::kindNone)
        ->addRow(new QLabel(tr("The device is listed but not connected.")));

    QFormLayout* page = addPage(tr("Simulation"), sourceAddress_t::kindSimulation);
    d->simulated = new QComboBox;
    d->simulated->setObjectName(QStringLiteral("simulatedBox"));
    d->simulated->addItem(tr("Corrected receiver (receiver-a)"), QStringLiteral("receiver-a"));
    d->simulated->addItem(tr("Code receiver with outages (receiver-b)"), QStringLiteral("receiver-b"));
    d->simulated->addItem(tr("Gyro compass (gyro)"), QStringLiteral("gyro"));
    page->addRow(tr("Simulated device:"), d->simulated);

    page = addPage(tr("File replay"), sourceAddress_t::kindFile);
    d->path = new QLineEdit;
    d->path->setObjectName(QStringLiteral("pathEdit"));
    auto* browse = new QPushButton(tr("Browse..."));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(d->path, 1);
    pathRow->addWidget(browse);
    page->addRow(tr("File:"), pathRow);
    d->rate = new QDoubleSpinBox;
    d->rate->setObjectName(QStringLiteral("rateBox"));
    d->rate->setRange(0.1, sourceAddress_t::MaxRate);
    d->rate->setDecimals(1);
    d->rate->setValue(1.0);
    d->rate->setSuffix(tr(" x recorded pace"));
    page->addRow(tr("Pace:"), d->rate);
    d->loop = new QCheckBox(tr("Start again at the end"));
    d->loop->setObjectName(QStringLiteral("loopBox"));
    page->addRow(QString(), d->loop);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString const file = QFileDialog::getOpenFileName(this, tr("NMEA Log"), d->path->text(),
                                                          tr("NMEA logs (*.nmea *.log *.txt);;All files (*)"));
        if (!file.isEmpty())
            d->path->setText(file);
    });

    page = addPage(tr("TCP client"), sourceAddress_t::kindTcp);
    d->tcpHost = new QLineEdit;
    d->tcpHost->setObjectName(QStringLiteral("tcpHostEdit"));
    d->tcpPort = portBox(nullptr, QStringLiteral("tcpPortBox"), sourceAddress_t::DefaultUdpPort);
    page->addRow(tr("Host:"), d->tcpHost);
    page->addRow(tr("Port:"), d->tcpPort);

    page = addPage(tr("UDP listener"), sourceAddress_t::kindUdp);
    d->udpPort = portBox(nullptr, QStringLiteral("udpPortBox"), sourceAddress_t::DefaultUdpPort);
    d->udpAddress = new QLineEdit;
    d->udpAddress->setObjectName(QStringLiteral("udpAddressEdit"));
    d->udpAddress->setPlaceholderText(tr("every interface"));
    page->addRow(tr("Port:"), d->udpPort);
    page->addRow(tr("Address:"), d->udpAddress);

    page = addPage(tr("Serial port"), sourceAddress_t::kindSerial);
    d->serialPort = new QComboBox;
    d->serialPort->setObjectName(QStringLiteral("serialPortBox"));
    d->serialPort->setEditable(true);
    for (QSerialPortInfo const& info : QSerialPortInfo::availablePorts())
        d->serialPort->addItem(info.systemLocation());
    d->baudRate = new QComboBox;
    d->baudRate->setObjectName(QStringLiteral("baudRateBox"));
    d->baudRate->setEditable(true);
    for (int baud : {4800, 9600, 19200, 38400, 57600, 115200})
        d->baudRate->addItem(QString::number(baud));
    d->parity = new QComboBox;
    d->parity->setObjectName(QStringLiteral("parityBox"));
    for (char const* parity : {"none", "even", "odd", "mark", "space"})
        d->parity->addItem(QString::fromLatin1(parity));
    page->addRow(tr("Port:"), d->serialPort);
    page->addRow(tr("Baud rate:"), d->baudRate);
    page->addRow(tr("Parity:"), d->parity);

    page = addPage(tr("gpsd"), sourceAddress_t::kindGpsd);
    d->gpsdHost = new QLineEdit(QStringLiteral("localhost"));
    d->gpsdHost->setObjectName(QStringLiteral("gpsdHostEdit"));
    d->gpsdPort = portBox(nullptr, QStringLiteral("gpsdPortBox"), sourceAddress_t::DefaultGpsdPort);
    d->gpsdDevice = new QLineEdit;
    d->gpsdDevice->setObjectName(QStringLiteral("gpsdDeviceEdit"));
    d->gpsdDevice->setPlaceholderText(tr("every device gpsd serves"));
    page->addRow(tr("Host:"), d->gpsdHost);
    page->addRow(tr("Port:"), d->gpsdPort);
    page->addRow(tr("Device:"), d->gpsdDevice);

    d->allowMissingChecksum = new QCheckBox(tr("Accept lines without checksum"), source);
    d->allowMissingChecksum->setObjectName(QStringLiteral("allowMissingChecksumBox"));
    d->preview = new QLabel(source);
    d->preview->setObjectName(QStringLiteral("sourcePreview"));
    d->preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    d->preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sourceLayout->addWidget(d->kind);
    sourceLayout->addWidget(d->pages);
    sourceLayout->addWidget(d->allowMissingChecksum);
    sourceLayout->addWidget(d->preview);
    connect(d->kind, QOverload<int>::of(&QComboBox::currentIndexChanged), d->pages, &QStackedWidget::setCurrentIndex);

    for (QLineEdit* edit : {d->path, d->tcpHost, d->udpAddress, d->gpsdHost, d->gpsdDevice})
        connect(edit, &QLineEdit::textChanged, this, &dlgDeviceConfig_t::updatePreview);
    for (QComboBox* box : {d->kind, d->simulated, d->serialPort, d->baudRate, d->parity, d->type})
        connect(box, &QComboBox::currentTextChanged, this, &dlgDeviceConfig_t::updatePreview);
    for (QSpinBox* box : {d->tcpPort, d->udpPort, d->gpsdPort})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &dlgDeviceConfig_t::updatePreview);
    connect(d->rate, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &dlgDeviceConfig_t::updatePreview);
    connect(d->loop, &QCheckBox::toggled, this, &dlgDeviceConfig_t::updatePreview);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &dlgDeviceConfig_t::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(identity);
    left->addWidget(caps);
    left->addStretch(1);
    columns->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(source);
    right->addStretch(1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    deviceConfig_t fresh;
    fresh.capabilities = FullReceiver;
    fresh.color = QColor(QStringLiteral("#9467bd"));
    setConfig(fresh);
}

dlgDeviceConfig_t::~dlgDeviceConfig_t() { delete d; }

void dlgDeviceConfig_t::setConfig(deviceConfig_t const& config)
{
    d->original = config;
    d->name->setText(config.name);
    int const typeIndex = d->type->findData(QString::fromStdString(config.type));
    if (typeIndex < 0) {
        // a type this dialog does not know is kept as it is
        d->type->addItem(QString::fromStdString(config.type), QString::fromStdString(config.type));
        d->type->setCurrentIndex(d->type->count() - 1);
    } else {
        d->type->setCurrentIndex(typeIndex);
    }
    int shown = 0;
    QList<capability_t> const list = capabilities();
    for (int i = 0; i < list.size(); ++i) {
        int const bits = list.at(i).bit | list.at(i).alternates;
        d->capabilityBoxes.at(i)->setChecked(config.capabilities & bits);
        shown |= bits;
    }
    d->hiddenBits = config.capabilities & ~shown;
    d->color->selectedColor(config.color.isValid() ? config.color : QColor(Qt::darkCyan));
    d->allowMissingChecksum->setChecked(config.allowMissingChecksum);

    sourceAddress_t address;
    if (!sourceAddress_t::parse(config.source, &address))
        address = sourceAddress_t();
    d->kind->setCurrentIndex(std::max(0, d->kind->findData(int(address.kind))));
    switch (address.kind) {
    case sourceAddress_t::kindSimulation:
        d->simulated->setCurrentIndex(std::max(0, d->simulated->findData(address.simulated)));
        break;
    case sourceAddress_t::kindFile:
        d->path->setText(address.path);
        d->rate->setValue(address.rate);
        d->loop->setChecked(address.loop);
        break;
    case sourceAddress_t::kindTcp:
        d->tcpHost->setText(address.host);
        d->tcpPort->setValue(address.port);
        break;
    case sourceAddress_t::kindUdp:
        d->udpPort->setValue(address.port);
        d->udpAddress->setText(address.host);
        break;
    case sourceAddress_t::kindSerial:
        d->serialPort->setCurrentText(address.device);
        d->baudRate->setCurrentText(QString::number(address.baudRate));
        d->parity->setCurrentText(address.parity);
        break;
    case sourceAddress_t::kindGpsd:
        d->gpsdHost->setText(address.host);
        d->gpsdPort->setValue(address.port);
        d->gpsdDevice->setText(address.device);
        break;
    case sourceAddress_t::kindNone: break;
    }
    setWindowTitle(config.name.isEmpty() ? tr("New Device") : tr("Device %1").arg(config.name));
    updatePreview();
}

sourceAddress_t dlgDeviceConfig_t::source() const
{
    sourceAddress_t address;
    address.kind = sourceAddress_t::kind_t(d->kind->currentData().toInt());
    switch (address.kind) {
    case sourceAddress_t::kindSimulation: address.simulated = d->simulated->currentData().toString(); break;
    case sourceAddress_t::kindFile:
        address.path = d->path->text().trimmed();
        address.rate = d->rate->value();
        address.loop = d->loop->isChecked();
        break;
    case sourceAddress_t::kindTcp:
        address.host = d->tcpHost->text().trimmed();
        address.port = quint16(d->tcpPort->value());
        break;
    case sourceAddress_t::kindUdp:
        address.host = d->udpAddress->text().trimmed();
        address.port = quint16(d->udpPort->value());
        break;
    case sourceAddress_t::kindSerial:
        address.device = d->serialPort->currentText().trimmed();
        address.baudRate = d->baudRate->currentText().trimmed().toInt();
        address.parity = d->parity->currentText();
        break;
    case sourceAddress_t::kindGpsd:
        address.host = d->gpsdHost->text().trimmed();
        if (address.host.isEmpty())
            address.host = QStringLiteral("localhost");
        address.port = quint16(d->gpsdPort->value());
        address.device = d->gpsdDevice->text().trimmed();
        break;
    case sourceAddress_t::kindNone: break;
    }
    return address;
}

deviceConfig_t dlgDeviceConfig_t::config() const
{
    deviceConfig_t config = d->original;
    config.name = d->name->text().trimmed();
    config.type = d->type->currentData().toString().toStdString();
    config.capabilities = d->capabilityMask();
    config.color = d->color->selectedColor();
    config.source = source().toString();
    config.allowMissingChecksum = d->allowMissingChecksum->isChecked();
    return config;
}

void dlgDeviceConfig_t::setTakenNames(QStringList const& names) { d->taken = names; }

QStringList dlgDeviceConfig_t::problems() const
{
    QStringList list;
    QString const name = d->name->text().trimmed();
    QString const nameProblem = deviceConfig_t::nameProblem(name);
    if (!nameProblem.isEmpty())
        list << nameProblem;
    else if (d->taken.contains(name, Qt::CaseInsensitive))
        list << tr("Another device is already named \"%1\".").arg(name);
    sourceAddress_t const address = source();
    QString error;
    // the text the configuration will hold must read back as this source
    sourceAddress_t parsed;
    if (!sourceAddress_t::parse(address.toString(), &parsed, &error))
        list << error;
    else if (parsed != address)
        list << tr("The source cannot be written so that it reads back the same; check its fields.");
    return list;
}

void dlgDeviceConfig_t::accept()
{
    QStringList const list = problems();
    if (!list.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), list.join(QLatin1Char('\n')));
        return;
    }
    QDialog::accept();
}

void dlgDeviceConfig_t::updatePreview()
{
    d->mask->setText(tr("Mask: %1").arg(d->capabilityMask()));
    QString const text = source().toString();
    d->preview->setText(text.isEmpty() ? tr("(no source)") : text);
}

} // namespace app
} // namespace orvane
