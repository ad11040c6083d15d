#include "instruments/dlgExtLogData.h"

#include <belrix_common_qt/csvOutputCfg.h>
#include <belrix_common_qt/logCfg.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/csvOutputCfgWidget.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdint>
#include <memory>

using belrix_common_qt::csvOutputCfg_t;
using belrix_common_qt::logCfg_t;
using belrix_common_qt::SECONDS_PER_DAY;
using belrix_common_qt_gui::csvOutputCfgWidget_t;
using orvane::qc::dlgExtLogData_t;

namespace {

const auto csvChannel = belrix_common_qt::logChannelExternal;
const auto rawChannel = belrix_common_qt::logChannelRaw;
constexpr std::uint32_t highBits = 0xf0000000u;

// Answers the warnings that a modal message box would otherwise wait on forever.
class messageBoxCloser_t : public QObject
{
public:
    messageBoxCloser_t()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++closed;
                box->accept();
            }
        });
        timer.start(20);
    }
    int closed = 0;

private:
    QTimer timer;
};

logCfg_t someLogCfg(QString const& path)
{
    logCfg_t cfg;
    cfg.active = false;
    cfg.mode = 1;
    cfg.path = path.toStdString();
    cfg.age = 12 * SECONDS_PER_DAY;
    return cfg;
}

} // namespace

class tst_dlgExtLogData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadWithoutFieldsLeavesDeviceUntouched();
    void loadAge_data();
    void loadAge();
    void loadFields_data();
    void loadFields();
    void saveStoresWholeDaysAndTwentyEightFields();
    void saveWithoutChannelWritesNoCsvKeys();
    void saveAndLoadWithoutDataSourceDoNothing();

    void csvPartIsBuiltOnceInRawMode();
    void modeDecidesTheChannel_data();
    void modeDecidesTheChannel();
    void checkButtonsLocksTheFieldSelection();
    void startWithInvalidFormChangesNothing();
    void startAndStopCsvLogging();

    void selectorKeepsHighBitsAndDropsFieldsTheDeviceLacks_data();
    void selectorKeepsHighBitsAndDropsFieldsTheDeviceLacks();

private:
    std::string key(char const* name) const { return dialog->outputKey(name); }
    belrix_common_qt::remoteDevice_t* remote() const { return device->remoteDevice(); }
    void enterCsvMode();

    std::unique_ptr<orvane::context_t> context;
    std::unique_ptr<orvane::device_t> device;
    dlgExtLogData_t* dialog = nullptr;   // child of the device
    tolvconfig::config_t config;
};

void tst_dlgExtLogData::initTestCase() { QStandardPaths::setTestModeEnabled(true); }

void tst_dlgExtLogData::init()
{
    context.reset(new orvane::context_t);
    device.reset(new orvane::device_t(context.get(), QStringLiteral("GNSS 1"), nullptr));
    device->setPort(new belrix_common_qt::remotePort_t);
    device->setDeviceCapabilities(0x2 | 0x10 | 0x200);
    dialog = new dlgExtLogData_t(context.get(), device.get());
    config.clear();
}

void tst_dlgExtLogData::cleanup()
{
    dialog = nullptr;
    device.reset();
    context.reset();
}

void tst_dlgExtLogData::enterCsvMode()
{
    dialog->showCsvLogging();
    dialog->show();
    dialog->setCsvLogging();
}

void tst_dlgExtLogData::loadWithoutFieldsLeavesDeviceUntouched()
{
    const logCfg_t before = someLogCfg(QStringLiteral("/data/before"));
    remote()->setLogCfg(csvChannel, before);
    csvOutputCfg_t mask;
    mask.mask = 0xf0000003u;
    remote()->setCsvOutputCfg(mask);

    tolvconfig::setValue(config, key("log_csv_mode"), 0);
    tolvconfig::setValue(config, key("log_csv_path"), std::string("/data/after"));
    tolvconfig::setValue(config, key("log_csv_active"), true);
    tolvconfig::setValue(config, key("log_csv_age"), 3u);
    dialog->loadSettings(config, -1);

    QVERIFY(remote()->logCfg(csvChannel));
    QVERIFY(*remote()->logCfg(csvChannel) == before);
    QVERIFY(remote()->csvOutputCfg());
    QCOMPARE(remote()->csvOutputCfg()->mask, 0xf0000003u);
}

void tst_dlgExtLogData::loadAge_data()
{
    QTest::addColumn<QString>("stored");   // empty: no key
    QTest::addColumn<unsigned int>("age");

    const unsigned int defaultAge = logCfg_t().age;
    QTest::newRow("absent") << QString() << defaultAge;
    QTest::newRow("0 days") << "0" << 0u;
    QTest::newRow("1 day") << "1" << SECONDS_PER_DAY;
    QTest::newRow("999 days") << "999" << 999u * SECONDS_PER_DAY;
    QTest::newRow("1000 days") << "1000" << defaultAge;
    QTest::newRow("huge") << "4294967295" << defaultAge;
    QTest::newRow("negative") << "-5" << defaultAge;
    QTest::newRow("not a number") << "week" << defaultAge;
}

void tst_dlgExtLogData::loadAge()
{
    QFETCH(QString, stored);
    QFETCH(unsigned int, age);

    config.setValue(key("log_csv_fields"), std::string(28, '1'));
    if (!stored.isEmpty())
        config.setValue(key("log_csv_age"), stored.toStdString());
    dialog->loadSettings(config, -1);

    QVERIFY(remote()->logCfg(csvChannel));
    QCOMPARE(remote()->logCfg(csvChannel)->age, age);
}

void tst_dlgExtLogData::loadFields_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<std::uint32_t>("mask");

    QTest::newRow("all 28 set") << QString(28, QLatin1Char('1')) << 0xffffffffu;
    QTest::newRow("all 28 clear") << QString(28, QLatin1Char('0')) << highBits;
    QTest::newRow("empty") << QString(QLatin1String("")) << highBits;
    QTest::newRow("shorter than 28") << QStringLiteral("111") << (highBits | 0x7u);
    QTest::newRow("one short") << QString(27, QLatin1Char('1')) << (highBits | 0x07ffffffu);
    QTest::newRow("longer than 28") << QString(40, QLatin1Char('0')).replace(30, 10, QString(10, QLatin1Char('1')))
                                    << highBits;
    QTest::newRow("last field only") << QString(27, QLatin1Char('0')) + QLatin1Char('1') << (highBits | 0x08000000u);
    QTest::newRow("other characters") << QStringLiteral("1x1 1") << (highBits | 0x15u);
}

void tst_dlgExtLogData::loadFields()
{
    QFETCH(QString, fields);
    QFETCH(std::uint32_t, mask);

    tolvconfig::setValue(config, key("log_csv_fields"), fields);
    dialog->loadSettings(config, -1);

    QVERIFY(remote()->csvOutputCfg());
    QCOMPARE(remote()->csvOutputCfg()->mask & highBits, highBits);
    QCOMPARE(remote()->csvOutputCfg()->mask, mask);
    QVERIFY(remote()->logCfg(csvChannel));
}

void tst_dlgExtLogData::saveStoresWholeDaysAndTwentyEightFields()
{
    logCfg_t cfg = someLogCfg(QStringLiteral("/data/csv"));
    cfg.active = true;
    cfg.age = 3 * SECONDS_PER_DAY + 5 * 3600;
    remote()->setLogCfg(csvChannel, cfg);
    csvOutputCfg_t mask;
    mask.mask = 0x00000005u;   // high bits clear: they are not fields and are not stored
    remote()->setCsvOutputCfg(mask);

    dialog->saveSettings(config, -1);

    unsigned int days = 0;
    QVERIFY(tolvconfig::getValue(config, key("log_csv_age"), days));
    QCOMPARE(days, 3u);
    QString fields;
    QVERIFY(tolvconfig::getValue(config, key("log_csv_fields"), fields));
    QCOMPARE(fields, QStringLiteral("101") + QString(25, QLatin1Char('0')));

    // A second device reads back what the first stored, up to the whole days.
    remote()->setLogCfg(csvChannel, logCfg_t());
    remote()->setCsvOutputCfg(csvOutputCfg_t());
    dialog->loadSettings(config, -1);
    logCfg_t const* loaded = remote()->logCfg(csvChannel);
    QVERIFY(loaded);
    QCOMPARE(loaded->mode, 1);
    QCOMPARE(QString::fromStdString(loaded->path), QStringLiteral("/data/csv"));
    QCOMPARE(loaded->active, true);
    QCOMPARE(loaded->age, 3 * SECONDS_PER_DAY);
    QCOMPARE(remote()->csvOutputCfg()->mask, highBits | 0x5u);
}

void tst_dlgExtLogData::saveWithoutChannelWritesNoCsvKeys()
{
    remote()->setCsvOutputCfg(csvOutputCfg_t());
    dialog->saveSettings(config, -1);
    for (char const* name : {"log_csv_mode", "log_csv_path", "log_csv_active", "log_csv_age", "log_csv_fields"})
        QVERIFY2(!config.hasKey(key(name)), name);
}

void tst_dlgExtLogData::saveAndLoadWithoutDataSourceDoNothing()
{
    orvane::device_t bare(context.get(), QStringLiteral("GNSS 2"), nullptr);
    auto* lonely = new dlgExtLogData_t(context.get(), &bare);
    tolvconfig::setValue(config, lonely->outputKey("log_csv_fields"), QString(28, QLatin1Char('1')));
    lonely->loadSettings(config, -1);
    lonely->saveSettings(config, -1);
    QVERIFY(!config.hasKey(lonely->outputKey("log_csv_age")));
    lonely->showCsvLogging();
    lonely->show();
    lonely->setCsvLogging();
    lonely->stopLogging();
    QVERIFY(!bare.remoteDevice());
}

void tst_dlgExtLogData::csvPartIsBuiltOnceInRawMode()
{
    dialog->show();
    dialog->showCsvLogging();
    dialog->showCsvLogging();

    QCOMPARE(dialog->findChildren<QGroupBox*>(QStringLiteral("csvGroup")).size(), 1);
    QCOMPARE(dialog->findChildren<csvOutputCfgWidget_t*>().size(), 1);
    auto* csvButton = dialog->findChild<QPushButton*>(QStringLiteral("csvButton"));
    auto* rawButton = dialog->findChild<QPushButton*>(QStringLiteral("rawButton"));
    QVERIFY(csvButton && rawButton);
    QCOMPARE(csvButton->text(), QStringLiteral("CSV Logging"));
    QCOMPARE(rawButton->text(), QStringLiteral("Raw Logging"));
    QVERIFY(csvButton->isVisible());
    QVERIFY(!rawButton->isVisible());
    QVERIFY(!dialog->findChild<QGroupBox*>(QStringLiteral("csvGroup"))->isVisible());

    csvButton->click();
    QVERIFY(!csvButton->isVisible());
    QVERIFY(rawButton->isVisible());
    QVERIFY(dialog->findChild<QGroupBox*>(QStringLiteral("csvGroup"))->isVisible());
}

void tst_dlgExtLogData::modeDecidesTheChannel_data()
{
    QTest::addColumn<bool>("csvPart");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("csvChosen");
    QTest::addColumn<bool>("logsCsv");

    QTest::newRow("no csv part") << false << true << false << false;
    QTest::newRow("raw chosen") << true << true << false << false;
    QTest::newRow("csv chosen") << true << true << true << true;
    QTest::newRow("csv chosen, window hidden") << true << false << true << false;
}

void tst_dlgExtLogData::modeDecidesTheChannel()
{
    QFETCH(bool, csvPart);
    QFETCH(bool, shown);
    QFETCH(bool, csvChosen);
    QFETCH(bool, logsCsv);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Both channels point at a usable folder, so the form is valid in either mode.
    remote()->setLogCfg(rawChannel, someLogCfg(dir.path()));
    remote()->setLogCfg(csvChannel, someLogCfg(dir.path()));
    if (csvPart)
        dialog->showCsvLogging();
    dialog->show();
    dialog->updateUi();
    if (csvChosen)
        dialog->setCsvLogging();
    if (!shown)
        dialog->hide();

    dialog->startLogging();

    QCOMPARE(remote()->logCfg(csvChannel)->active, logsCsv);
    QCOMPARE(remote()->logCfg(rawChannel)->active, !logsCsv);
    QCOMPARE(remote()->csvOutputCfg() != nullptr, logsCsv);
}

void tst_dlgExtLogData::checkButtonsLocksTheFieldSelection()
{
    enterCsvMode();
    auto* selector = dialog->findChild<csvOutputCfgWidget_t*>();
    QVERIFY(selector);

    dialog->checkButtons(true);
    QVERIFY(!selector->isEnabled());
    dialog->checkButtons(false);
    QVERIFY(selector->isEnabled());
}

void tst_dlgExtLogData::startWithInvalidFormChangesNothing()
{
    enterCsvMode();   // no channel configuration yet: the folder field is empty
    QSignalSpy modified(dialog, &dlgExtLogData_t::configurationModified);
    messageBoxCloser_t closer;

    dialog->startLogging();

    QCOMPARE(closer.closed, 1);
    QVERIFY(!remote()->logCfg(csvChannel));
    QVERIFY(!remote()->csvOutputCfg());
    QCOMPARE(modified.count(), 0);
    QVERIFY(dialog->findChild<csvOutputCfgWidget_t*>()->isEnabled());
}

void tst_dlgExtLogData::startAndStopCsvLogging()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    remote()->setLogCfg(csvChannel, someLogCfg(dir.path()));
    csvOutputCfg_t chosen;
    chosen.mask = 0x0000000fu;
    remote()->setCsvOutputCfg(chosen);
    enterCsvMode();
    QSignalSpy modified(dialog, &dlgExtLogData_t::configurationModified);

    dialog->startLogging();

    logCfg_t const* running = remote()->logCfg(csvChannel);
    QVERIFY(running);
    QVERIFY(running->active);
    QCOMPARE(QString::fromStdString(running->path), dir.path());
    QCOMPARE(running->mode, 1);
    QCOMPARE(running->age, 12 * SECONDS_PER_DAY);
    QCOMPARE(remote()->csvOutputCfg()->mask, highBits | 0xfu);
    QCOMPARE(modified.count(), 1);
    QVERIFY(!dialog->findChild<csvOutputCfgWidget_t*>()->isEnabled());

    dialog->stopLogging();

    logCfg_t const* stopped = remote()->logCfg(csvChannel);
    QVERIFY(!stopped->active);
    QCOMPARE(QString::fromStdString(stopped->path), dir.path());
    QCOMPARE(stopped->mode, 1);
    QCOMPARE(stopped->age, 12 * SECONDS_PER_DAY);
    QCOMPARE(modified.count(), 2);
    QVERIFY(dialog->findChild<csvOutputCfgWidget_t*>()->isEnabled());
    QVERIFY(!remote()->logCfg(rawChannel));
}

void tst_dlgExtLogData::selectorKeepsHighBitsAndDropsFieldsTheDeviceLacks_data()
{
    QTest::addColumn<int>("capabilities");
    QTest::addColumn<std::uint32_t>("given");
    QTest::addColumn<std::uint32_t>("expected");

    const std::uint32_t heading = (1u << 14) | (1u << 15);
    const std::uint32_t position = 0x3ffcu;   // bits 2 to 13
    QTest::newRow("all capabilities, high bits clear") << -1 << 0x0fffffffu << 0x0fffffffu;
    QTest::newRow("all capabilities, high bits set") << -1 << 0xffffffffu << 0xffffffffu;
    QTest::newRow("no heading") << (0x2 | 0x8 | 0x10 | 0x1) << 0xffffffffu << (0xffffffffu & ~heading);
    QTest::newRow("heading only") << 0x200 << 0x0fffffffu << (0x3u | heading);
    QTest::newRow("no position") << 0x200 << (position | 0x3u) << 0x3u;
}

void tst_dlgExtLogData::selectorKeepsHighBitsAndDropsFieldsTheDeviceLacks()
{
    QFETCH(int, capabilities);
    QFETCH(std::uint32_t, given);
    QFETCH(std::uint32_t, expected);

    csvOutputCfgWidget_t selector;
    selector.setCapabilities(capabilities);
    csvOutputCfg_t in;
    in.mask = given;
    selector.setConfig(&in);
    csvOutputCfg_t out;
    out.mask = given & highBits;
    selector.getConfig(out);
    QCOMPARE(out.mask, expected);
}

QTEST_MAIN(tst_dlgExtLogData)
#include "tst_dlgExtLogData.moc"
