#include "dlgRawNmea.h"

#include "application/deviceFeed.h"
#include "sources/nmeaSource.h"

#include <belrix_common_qt/nmeaDecoder.h>

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

namespace {
enum column_t { ColumnTime, ColumnReason, ColumnLine, ColumnCount };

// Tinted so that both the day and the night palette keep the text readable.
QColor reasonColor(nmeaLineResult_t result)
{
    switch (result) {
    case nmeaBadChecksum:
    case nmeaMalformed: return QColor(220, 40, 40, 90);
    case nmeaUnknown: return QColor(230, 170, 0, 70);
    case nmeaAccepted: break;
    }
    return QColor();
}
} // namespace

class dlgRawNmea_t::private_t
{
public:
    QPointer<deviceFeed_t> feed;
    QString deviceName;
    quint64 shown = 0;   // the sequence of the last line in the list
    QLabel* sourceLabel = nullptr;
    QLabel* countersLabel = nullptr;
    QTreeWidget* list = nullptr;
    QCheckBox* pause = nullptr;
    QTimer timer;
};

dlgRawNmea_t::dlgRawNmea_t(deviceFeed_t* feed, QString const& deviceName, QWidget* parent)
    : QDialog(parent), d(new private_t)
{
    setObjectName(QStringLiteral("dlgRawNmea"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(760, 420);

    d->sourceLabel = new QLabel(this);
    d->sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
    d->sourceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    d->countersLabel = new QLabel(this);
    d->countersLabel->setObjectName(QStringLiteral("countersLabel"));

    d->list = new QTreeWidget(this);
    d->list->setObjectName(QStringLiteral("lineList"));
    d->list->setColumnCount(ColumnCount);
    d->list->setHeaderLabels({tr("Arrival (UTC)"), tr("Rejected"), tr("Line")});
    d->list->setRootIsDecorated(false);
    d->list->setUniformRowHeights(true);
    d->list->setAllColumnsShowFocus(true);
    d->list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    d->list->header()->setStretchLastSection(true);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    d->list->setFont(mono);
    QFontMetrics const metrics(mono);
    d->list->setColumnWidth(ColumnTime, metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 24);
    d->list->setColumnWidth(ColumnReason, metrics.horizontalAdvance(reasonText(nmeaUnknown)) + 24);

    d->pause = new QCheckBox(tr("Pause"), this);
    d->pause->setObjectName(QStringLiteral("pauseBox"));
    auto* clear = new QPushButton(tr("Clear"), this);
    auto* reset = new QPushButton(tr("Reset Counters"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(clear, &QPushButton::clicked, this, [this] { d->list->clear(); });
    connect(reset, &QPushButton::clicked, this, [this] {
        if (d->feed)
            d->feed->resetCounters();
        refresh();
    });
    connect(d->pause, &QCheckBox::toggled, this, [this](bool paused) {
        if (!paused)
            refresh();
    });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(d->pause);
    bottom->addWidget(clear);
    bottom->addWidget(reset);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(d->sourceLabel);
    layout->addWidget(d->countersLabel);
    layout->addWidget(d->list, 1);
    layout->addLayout(bottom);

    d->timer.setInterval(RefreshIntervalMs);
    connect(&d->timer, &QTimer::timeout, this, &dlgRawNmea_t::refresh);

    setDeviceName(deviceName);
    setFeed(feed);
}

dlgRawNmea_t::~dlgRawNmea_t() { delete d; }

void dlgRawNmea_t::setFeed(deviceFeed_t* feed)
{
    d->feed = feed;
    d->shown = 0;
    d->list->clear();
    refresh();
}

void dlgRawNmea_t::setDeviceName(QString const& name)
{
    d->deviceName = name;
    setWindowTitle(tr("Raw NMEA - %1").arg(name));
}

int dlgRawNmea_t::rowCount() const { return d->list->topLevelItemCount(); }

QString dlgRawNmea_t::reasonText(int result)
{
    switch (result) {
    case nmeaBadChecksum: return tr("Bad checksum");
    case nmeaUnknown: return tr("Unknown sentence");
    case nmeaMalformed: return tr("Malformed");
    default: break;
    }
    return QString();
}

QString dlgRawNmea_t::printable(QByteArray const& line)
{
    QString text;
    text.reserve(line.size());
    for (char c : line) {
        unsigned char const u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
    }
    return text;
}

void dlgRawNmea_t::refresh()
{
    deviceFeed_t const* feed = d->feed;
    if (!feed) {
        d->sourceLabel->setText(tr("This device has no source."));
        d->countersLabel->clear();
        return;
    }
    nmeaSource_t const* source = feed->source();
    QString state = source ? source->description() : tr("No source");
    state += QStringLiteral(": ") + (source && source->isConnected() ? tr("connected") : tr("not connected"));
    if (!feed->statusText().isEmpty())
        state += QStringLiteral(" (") + feed->statusText() + QLatin1Char(')');
    d->sourceLabel->setText(state);
    nmeaCounters_t const c = feed->counters();
    QString counters = tr("Lines %1, accepted %2, bad checksum %3, unknown %4, malformed %5")
                           .arg(c.lines)
                           .arg(c.accepted)
                           .arg(c.badChecksum)
                           .arg(c.unknown)
                           .arg(c.malformed);
    if (feed->overlongLines() > 0)
        counters += tr(", cut for length %1").arg(feed->overlongLines());
    d->countersLabel->setText(counters);

    if (d->pause->isChecked())
        return;
    QScrollBar* bar = d->list->verticalScrollBar();
    bool const atBottom = bar->value() >= bar->maximum();
    QList<QTreeWidgetItem*> items;
    for (rawLine_t const& line : feed->recentLines()) {
        if (line.sequence <= d->shown)
            continue;
        auto* item = new QTreeWidgetItem;
        QDateTime const time = QDateTime::fromMSecsSinceEpoch(qint64(line.time * 1000.0), Qt::UTC);
        item->setText(ColumnTime, time.toString(QStringLiteral("hh:mm:ss.zzz")));
        item->setText(ColumnReason, reasonText(line.result));
        item->setText(ColumnLine, printable(line.text));
        QColor const tint = reasonColor(line.result);
        if (tint.isValid()) {
            for (int c = 0; c < ColumnCount; ++c)
                item->setBackground(c, tint);
            item->setToolTip(ColumnLine, reasonText(line.result));
        }
        items.append(item);
        d->shown = line.sequence;
    }
    if (!items.isEmpty())
        d->list->addTopLevelItems(items);
    int const excess = d->list->topLevelItemCount() - feed->historySize();
    for (int i = 0; i < excess; ++i)
        delete d->list->takeTopLevelItem(0);
    if (!items.isEmpty() && atBottom)
        d->list->scrollToBottom();
}

void dlgRawNmea_t::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    refresh();
    d->timer.start();
}

void dlgRawNmea_t::hideEvent(QHideEvent* event)
{
    d->timer.stop();
    QDialog::hideEvent(event);
}

} // namespace app
} // namespace orvane
