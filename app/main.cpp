#include "application/orvaneApplication.h"

#include <belrix_common_qt/almanacFolder.h>
#include <orvane/fixes/fixManager.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns about window hints it cannot honour; nothing to act on.
void filterMessages(QtMsgType type, QMessageLogContext const& context, QString const& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints"))
        || message.contains(QLatin1String("does not support raise")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    // Snapshots need no screen: choose the offscreen platform before Qt picks one.
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--snapshot" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        previousHandler = qInstallMessageHandler(filterMessages);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));
    QApplication::setOrganizationName(QStringLiteral("orvane"));
    QApplication::setApplicationVersion(QStringLiteral("0.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quality control displays for the ship's GNSS receivers."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption config(QStringLiteral("config"), QStringLiteral("Configuration file (default: %1).")
                                  .arg(orvane::app::orvaneApplication_t::defaultConfigPath()),
                              QStringLiteral("FILE"));
    QCommandLineOption snapshot(QStringLiteral("snapshot"),
                                QStringLiteral("Run without a screen and write a PNG of every window into DIR."),
                                QStringLiteral("DIR"));
    QCommandLineOption runFor(QStringLiteral("run-for"),
                              QStringLiteral("Seconds of data time to run before the snapshots (default 10)."),
                              QStringLiteral("SECONDS"), QStringLiteral("10"));
    QCommandLineOption fixes(QStringLiteral("fixes"), QStringLiteral("Fix store file (default: %1).")
                                 .arg(orvane::fixes::fixManager_t::defaultPath()),
                             QStringLiteral("FILE"));
    QCommandLineOption night(QStringLiteral("night"), QStringLiteral("Start with the night look."));
    QCommandLineOption record(QStringLiteral("record"),
                              QStringLiteral("Keep each device's lines with their arrival times, in FILE with the "
                                             "device's name added (capture.nmea: capture-gnss-1.nmea)."),
                              QStringLiteral("FILE"));
    QCommandLineOption almanac(QStringLiteral("almanac"),
                               QStringLiteral("Folder of almanac files, YUMA, SEM, .agl or .agp (default: %1).")
                                   .arg(belrix_common_qt::almanacFolder_t::defaultPath()),
                               QStringLiteral("DIR"));
    parser.addOptions({config, snapshot, runFor, fixes, night, record, almanac});
    parser.process(application);

    orvane::app::orvaneApplication_t::options_t options;
    options.configPath = parser.value(config);
    options.snapshotDir = parser.value(snapshot);
    options.fixesPath = parser.value(fixes);
    options.night = parser.isSet(night);
    options.recordPath = parser.value(record);
    options.almanacDir = parser.value(almanac);
    bool ok = false;
    options.runFor = parser.value(runFor).toDouble(&ok);
    if (!ok || options.runFor < 0.0 || options.runFor > 86400.0) {
        std::fprintf(stderr, "orvane: --run-for takes a number of seconds from 0 to 86400\n");
        return 2;
    }

    orvane::app::orvaneApplication_t app(options);
    QString error;
    if (!app.start(&error)) {
        std::fprintf(stderr, "orvane: %s\n", qPrintable(error));
        if (options.snapshotDir.isEmpty())
            QMessageBox::critical(nullptr, QStringLiteral("orvane"), error);
        return 1;
    }
    if (!options.snapshotDir.isEmpty())
        return app.runSnapshots();
    return application.exec();
}
