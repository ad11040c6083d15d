// Builds a QC device the way an integrating host does, against the installed package.
#include <device/qcDevice.h>
#include <orvane/context.h>
#include <orvane/orvanePageGroup.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    orvane::context_t context;
    orvane::qc::qcDevice_t device(&context, QStringLiteral("GNSS"), nullptr);
    device.setDeviceCapabilities(0x8 | 0x10);
    device.initialize();
    return device.pageGroup()->pages().size() == 3 ? 0 : 1;
}
