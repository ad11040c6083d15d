#include "qcTestFixture.h"

#include "instruments/dlgExtLogData.h"

#include <belrix_common_qt/csvOutputCfg.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/logCfg.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt_gui/csvOutputCfgWidget.h>
#include <orvane/device.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>

using belrix_common_qt::csvOutputCfg_t;
using belrix_common_qt::logCfg_t;
using belrix_common_qt::SECONDS_PER_DAY;
using belrix_common_qt_gui::csvOutputCfgWidget_t;
using orvane::qc::dlgExtLogData_t;

namespace {

const auto CsvChannel = belrix_common_qt::logChannelExternal;
const auto RawChannel = belrix_common_qt::logChannelRaw;
constexpr std::uint32_t HighBits = 0xf0000000u;
const QString AllFields(28, QLatin1Char('1'));

logCfg_t someLogCfg(QString const& path)
{
    logCfg_t cfg;
    cfg.mode = 1;
    cfg.path = path.toStdString();
    cfg.age = 12 * SECONDS_PER_DAY;
    return cfg;
}

csvOutputCfg_t fields(std::uint32_t mask)
{
    csvOutputCfg_t cfg;
    cfg.mask = mask;
    return cfg;
}

} // namespace

struct stored_t { QVariantMap keys; bool loaded; unsigned int age; std::uint32_t mask; };
Q_DECLARE_METATYPE(stored_t)

struct choice_t { bool csvPart, shown, csvChosen, logsCsv; };
Q_DECLARE_METATYPE(choice_t)

class tst_dlgExtLogData : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;
    dlgExtLogData_t* m_dialog = nullptr;   // child of the device

    std::string key(char const* name) const { return m_dialog->outputKey(name); }
    belrix_common_qt::remoteDevice_t* remote() const { return m_device->remoteDevice(); }
    csvOutputCfgWidget_t* selector() const { return m_dialog->findChild<csvOutputCfgWidget_t*>(); }
    void enterCsvMode()
    {
        m_dialog->showCsvLogging();
        m_dialog->show();
        m_dialog->setCsvLogging();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("GNSS 1"), nullptr));
        m_device->setPort(new belrix_common_qt::remotePort_t);
        m_device->setDeviceCapabilities(orvane::capPositions | orvane::capQc | orvane::capHeading);
        m_dialog = new dlgExtLogData_t(m_context.get(), m_device.get());
    }

    void cleanup()
    {
        belrix_common_qt::dataClock_t::useSystemTime();
        m_device.reset();
        m_context.reset();
    }

    void loadSettings_data()
    {
        QTest::addColumn<stored_t>("s");
        const unsigned int defaultAge = logCfg_t().age;
        const std::uint32_t all = 0xffffffffu;
        auto withAge = [](QString const& days) { return QVariantMap{{"log_csv_fields", AllFields}, {"log_csv_age", days}}; };
        auto withFields = [](QString const& text) { return QVariantMap{{"log_csv_fields", text}}; };
        QTest::newRow("without fields nothing is read")
            << stored_t{{{"log_csv_mode", "0"}, {"log_csv_path", "/data/after"}, {"log_csv_active", "true"}, {"log_csv_age", "3"}},
                        false, 0, 0};
        QTest::newRow("no age") << stored_t{withFields(AllFields), true, defaultAge, all};
        QTest::newRow("0 days") << stored_t{withAge("0"), true, 0, all};
        QTest::newRow("999 days") << stored_t{withAge("999"), true, 999 * SECONDS_PER_DAY, all};
        QTest::newRow("1000 days") << stored_t{withAge("1000"), true, defaultAge, all};
        QTest::newRow("age not a number") << stored_t{withAge("week"), true, defaultAge, all};
        QTest::newRow("shorter than 28") << stored_t{withFields("111"), true, defaultAge, HighBits | 0x7u};
        QTest::newRow("longer than 28")
            << stored_t{withFields(QString(30, QLatin1Char('0')) + QString(10, QLatin1Char('1'))), true, defaultAge, HighBits};
        QTest::newRow("last field only")
            << stored_t{withFields(QString(27, QLatin1Char('0')) + QLatin1Char('1')), true, defaultAge, HighBits | 0x08000000u};
        QTest::newRow("other characters") << stored_t{withFields("1x1 1"), true, defaultAge, HighBits | 0x15u};
    }

    void loadSettings()
    {
        QFETCH(stored_t, s);
        const logCfg_t before = someLogCfg(QStringLiteral("/data/before"));
        remote()->setLogCfg(CsvChannel, before);
        remote()->setCsvOutputCfg(fields(0xf0000003u));
        tolvconfig::config_t config;
        for (auto it = s.keys.cbegin(); it != s.keys.cend(); ++it)
            config.setValue(key(it.key().toLatin1().constData()), it.value().toString().toStdString());
        m_dialog->loadSettings(config, -1);
        if (s.loaded)
            QCOMPARE(remote()->logCfg(CsvChannel)->age, s.age);
        else
            QVERIFY(*remote()->logCfg(CsvChannel) == before);
        QCOMPARE(remote()->csvOutputCfg()->mask, s.loaded ? s.mask : 0xf0000003u);
    }

    // Whole days and the 28 fields are stored; the raw log and both file name patterns come
    // back too, an active log running again.
    void settingsSurviveARestart()
    {
        logCfg_t raw = someLogCfg(QStringLiteral("/data/raw"));
        raw.active = true;
        raw.pattern = "{device}-{date}";
        logCfg_t csv = someLogCfg(QStringLiteral("/data/csv"));
        csv.pattern = "bridge-{date}";
        csv.age = 3 * SECONDS_PER_DAY + 5 * 3600;
        remote()->setLogCfg(RawChannel, raw);
        remote()->setLogCfg(CsvChannel, csv);
        remote()->setCsvOutputCfg(fields(0x5u));   // the high bits are not fields and are not stored
        tolvconfig::config_t config;
        m_dialog->saveSettings(config, -1);
        QString age, mask;
        QVERIFY(tolvconfig::getValue(config, key("log_csv_age"), age) && tolvconfig::getValue(config, key("log_csv_fields"), mask));
        QCOMPARE(age + QLatin1Char(' ') + mask, QStringLiteral("3 101") + QString(25, QLatin1Char('0')));

        remote()->setLogCfg(RawChannel, logCfg_t());
        remote()->setLogCfg(CsvChannel, logCfg_t());
        remote()->setCsvOutputCfg(csvOutputCfg_t());
        m_dialog->loadSettings(config, -1);
        csv.age = 3 * SECONDS_PER_DAY;
        QVERIFY(*remote()->logCfg(RawChannel) == raw);
        QVERIFY(*remote()->logCfg(CsvChannel) == csv);
        QCOMPARE(remote()->csvOutputCfg()->mask, HighBits | 0x5u);
    }

    void withoutChannelOrDataNothingIsStored()
    {
        tolvconfig::config_t config;
        m_dialog->saveSettings(config, -1);
        QVERIFY(!config.hasKey(key("log_csv_age")));

        orvane::device_t bare(m_context.get(), QStringLiteral("GNSS 2"), nullptr);
        auto* lonely = new dlgExtLogData_t(m_context.get(), &bare);
        tolvconfig::setValue(config, lonely->outputKey("log_csv_fields"), AllFields);
        lonely->loadSettings(config, -1);
        lonely->saveSettings(config, -1);
        QVERIFY(!config.hasKey(lonely->outputKey("log_csv_age")));
        lonely->showCsvLogging();
        lonely->show();
        lonely->setCsvLogging();
        lonely->stopLogging();
        QVERIFY(!bare.remoteDevice());
    }

    void csvPartIsBuiltOnceAndSwitchesTheMode()
    {
        m_dialog->show();
        m_dialog->showCsvLogging();
        m_dialog->showCsvLogging();
        QCOMPARE(m_dialog->findChildren<QGroupBox*>(QStringLiteral("csvGroup")).size(), 1);
        auto* csvButton = m_dialog->findChild<QPushButton*>(QStringLiteral("csvButton"));
        auto* rawButton = m_dialog->findChild<QPushButton*>(QStringLiteral("rawButton"));
        // CSV mode hides its own button and shows the way back and the field selector
        auto csvMode = [&] { return QList<bool>{!csvButton->isVisible(), rawButton->isVisible(), selector()->isVisible()}; };
        QCOMPARE(csvMode(), QList<bool>({false, false, false}));
        csvButton->click();
        QCOMPARE(csvMode(), QList<bool>({true, true, true}));
        rawButton->click();
        QCOMPARE(csvMode(), QList<bool>({false, false, false}));
    }

    void modeDecidesTheChannel_data()
    {
        QTest::addColumn<choice_t>("m");
        QTest::newRow("no csv part") << choice_t{false, true, false, false};
        QTest::newRow("raw chosen") << choice_t{true, true, false, false};
        QTest::newRow("csv chosen") << choice_t{true, true, true, true};
        QTest::newRow("csv chosen, window hidden") << choice_t{true, false, true, false};
    }

    void modeDecidesTheChannel()
    {
        QFETCH(choice_t, m);
        QTemporaryDir dir;
        // both channels point at a usable folder, so the form is valid in either mode
        remote()->setLogCfg(RawChannel, someLogCfg(dir.path()));
        remote()->setLogCfg(CsvChannel, someLogCfg(dir.path()));
        if (m.csvPart)
            m_dialog->showCsvLogging();
        m_dialog->show();
        m_dialog->updateUi();
        if (m.csvChosen)
            m_dialog->setCsvLogging();
        m_dialog->setVisible(m.shown);
        m_dialog->startLogging();
        QCOMPARE(remote()->logCfg(CsvChannel)->active, m.logsCsv);
        QCOMPARE(remote()->logCfg(RawChannel)->active, !m.logsCsv);
        QCOMPARE(remote()->csvOutputCfg() != nullptr, m.logsCsv);
    }

    void startWithInvalidFormChangesNothing()
    {
        enterCsvMode();   // no channel configuration yet: the folder field is empty
        QSignalSpy modified(m_dialog, &dlgExtLogData_t::configurationModified);
        QCOMPARE(qcTest::warningsOf([this] { m_dialog->startLogging(); }).size(), 1);
        QVERIFY(!remote()->logCfg(CsvChannel));
        QVERIFY(!remote()->csvOutputCfg());
        QCOMPARE(modified.count(), 0);
        QVERIFY(selector()->isEnabled());
    }

    // Starting and stopping switch the channel and lock the fields of a running log; the
    // window tells what the log has written, and a log that breaks says why at once, ready to
    // be started again.
    void csvLogRunsAndIsReported()
    {
        QTemporaryDir dir;
        double const now = 1717588800.0;   // 2024-06-05 12:00:00 UTC
        belrix_common_qt::dataClock_t::setTime(now);
        remote()->setLogCfg(CsvChannel, someLogCfg(dir.path()));
        remote()->setCsvOutputCfg(fields(0x0fffffffu));
        enterCsvMode();
        QSignalSpy modified(m_dialog, &dlgExtLogData_t::configurationModified);
        m_dialog->startLogging();
        logCfg_t expected = someLogCfg(dir.path());
        expected.active = true;
        QVERIFY(*remote()->logCfg(CsvChannel) == expected);
        // the device has neither pseudorange statistics (fields 15 to 21) nor signal status (the
        // correction SNR, the last): those fields are dropped
        QCOMPARE(remote()->csvOutputCfg()->mask, HighBits | 0x07c07fffu);
        QCOMPARE(modified.count(), 1);
        QVERIFY(!selector()->isEnabled());   // the fields of a running log cannot change under it

        auto* logger = belrix_common_qt::deviceLogger_t::forDevice(remote());
        auto epoch = [&](double t) {
            remote()->setFixTime(belrix_common_qt::dataItem_t<double>(t, t));
            logger->dataTaken(t);
            remote()->endEpoch();
        };
        epoch(now);
        m_dialog->handleClockTimeout();
        auto* status = m_dialog->findChild<QLabel*>(QStringLiteral("statusLabel"));
        qint64 const size = QFileInfo(logger->fileName(CsvChannel)).size();
        QVERIFY2(size > 0 && status->text().endsWith(QStringLiteral(", %1 bytes written").arg(size)), qPrintable(status->text()));

        m_dialog->stopLogging();
        expected.active = false;
        QVERIFY(*remote()->logCfg(CsvChannel) == expected);
        QCOMPARE(modified.count(), 2);
        QVERIFY(selector()->isEnabled());
        QVERIFY(!remote()->logCfg(RawChannel));

        m_dialog->startLogging();
        QVERIFY(QFile::remove(logger->fileName(CsvChannel)));
        epoch(now + 1.0);
        QVERIFY2(status->text().startsWith(QStringLiteral("Logging stopped: ")), qPrintable(status->text()));
        QVERIFY(selector()->isEnabled());
    }
};

QTEST_MAIN(tst_dlgExtLogData)
#include "tst_dlgExtLogData.moc"
