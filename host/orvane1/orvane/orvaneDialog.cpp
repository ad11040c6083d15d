#include "orvane/orvaneDialog.h"

#include <tolvconfig/configCodec.h>

#include <QByteArray>

namespace orvane {

namespace {
const char* const KeyGeometry = "geometry";
const char* const KeyVisible = "visible";
}

class orvaneDialog_t::private_t
{
public:
    bool isWindow = false;
};

orvaneDialog_t::orvaneDialog_t(QWidget* parent) : QDialog(parent), d(new private_t) {}

orvaneDialog_t::~orvaneDialog_t() { delete d; }

void orvaneDialog_t::setIsWindow(bool isWindow)
{
    d->isWindow = isWindow;
    Qt::WindowFlags flags = windowFlags() & ~Qt::WindowType_Mask;
    if (isWindow)
        flags |= Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    else
        flags |= Qt::Dialog;
    setWindowFlags(flags);
}

bool orvaneDialog_t::isWindow() const { return d->isWindow; }

std::string orvaneDialog_t::outputKey(std::string const& name, int index) const
{
    std::string prefix = objectName().toStdString();
    if (prefix.empty())
        prefix = metaObject()->className();
    if (index >= 0)
        prefix += "_" + std::to_string(index);
    return prefix + "." + name;
}

void orvaneDialog_t::saveSettings(tolvconfig::config_t& config, int index)
{
    tolvconfig::setValue(config, outputKey(KeyGeometry, index), QString::fromLatin1(saveGeometry().toBase64()));
    tolvconfig::setValue(config, outputKey(KeyVisible, index), isVisible());
}

void orvaneDialog_t::loadSettings(tolvconfig::config_t& config, int index)
{
    QString geometry;
    if (tolvconfig::getValue(config, outputKey(KeyGeometry, index), geometry))
        restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));
    bool visible = false;
    if (tolvconfig::getValue(config, outputKey(KeyVisible, index), visible))
        setVisible(visible);
}

void orvaneDialog_t::useDefaults() {}
void orvaneDialog_t::updateUi() {}
void orvaneDialog_t::updateWindowTitle() {}
void orvaneDialog_t::handleClockTimeout() {}

} // namespace orvane
