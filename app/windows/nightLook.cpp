#include "nightLook.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QToolBar>
#include <QVariant>
#include <QWidget>

namespace orvane {
namespace app {

namespace {
// what a window or an action had by day, to give back in the morning
const char* const DaySheetProperty = "orvaneDayStyleSheet";
const char* const DayIconProperty = "orvaneDayIcon";
// white becomes #8c8c8c, well below the night palette's lightest grey
constexpr int DimPercent = 55;

QList<QAction*> actionsOf(QWidget* window)
{
    QList<QAction*> actions = window->actions();
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        actions += bar->actions();
    for (QMenu* menu : window->findChildren<QMenu*>())
        actions += menu->actions();
    return actions;
}
} // namespace

class nightLook_t::private_t
{
public:
    bool night = false;
};

nightLook_t::nightLook_t(QObject* parent) : QObject(parent), d(new private_t)
{
    qApp->installEventFilter(this);
}

nightLook_t::~nightLook_t()
{
    setNight(false);
    delete d;
}

QString nightLook_t::sheet()
{
    // palette(base) is the night palette's, applied by the settings window before this.
    // Buttons, combo boxes, headers and scroll bars keep their own drawing, whose gradients run
    // about a third lighter than their colour: theirs keeps the lightest below the palette's.
    return QStringLiteral("QLineEdit, QDateTimeEdit, QAbstractSpinBox, QTreeView, QListView, QTableView, QTextEdit, "
                          "QPlainTextEdit { background-color: palette(base); "
                          "alternate-background-color: palette(window); } "
                          "QPushButton, QComboBox, QHeaderView, QScrollBar { background-color: #8a8a8a; }");
}

QIcon nightLook_t::dimmed(QIcon const& icon)
{
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = {QSize(16, 16), QSize(24, 24), QSize(32, 32)};
    QIcon out;
    for (QSize const& size : sizes) {
        QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                QRgb const p = line[x];
                line[x] = qRgba(qRed(p) * DimPercent / 100, qGreen(p) * DimPercent / 100, qBlue(p) * DimPercent / 100,
                                qAlpha(p));
            }
        }
        out.addPixmap(QPixmap::fromImage(image));
    }
    return out;
}

void nightLook_t::setNight(bool night)
{
    if (d->night == night)
        return;
    d->night = night;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (night)
            apply(window);
        else
            restore(window);
    }
}

bool nightLook_t::isNight() const { return d->night; }

bool nightLook_t::eventFilter(QObject* watched, QEvent* event)
{
    // a window shown for the first time, or one whose sheet was set again, takes the look
    if (d->night && event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow())
            apply(widget);
    }
    return QObject::eventFilter(watched, event);
}

void nightLook_t::apply(QWidget* window)
{
    QString const night = sheet();
    if (!window->property(DaySheetProperty).isValid())
        window->setProperty(DaySheetProperty, window->styleSheet());
    QString const day = window->property(DaySheetProperty).toString();
    if (window->styleSheet() != day + night)
        window->setStyleSheet(day + night);
    for (QAction* action : actionsOf(window)) {
        if (action->icon().isNull() || action->property(DayIconProperty).isValid())
            continue;
        action->setProperty(DayIconProperty, QVariant::fromValue(action->icon()));
        action->setIcon(dimmed(action->icon()));
    }
}

void nightLook_t::restore(QWidget* window)
{
    QVariant const day = window->property(DaySheetProperty);
    if (day.isValid()) {
        window->setStyleSheet(day.toString());
        window->setProperty(DaySheetProperty, QVariant());
    }
    for (QAction* action : actionsOf(window)) {
        QVariant const icon = action->property(DayIconProperty);
        if (!icon.isValid())
            continue;
        action->setIcon(icon.value<QIcon>());
        action->setProperty(DayIconProperty, QVariant());
    }
}

} // namespace app
} // namespace orvane
