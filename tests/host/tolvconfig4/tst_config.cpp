#include "tolvconfig/config.h"
#include "tolvconfig/configCodec.h"

#include "fullDisk.h"
#include "testFiles.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace tolvconfig;

namespace {

QByteArray validFile(QByteArray const& version, QByteArray const& values)
{
    return "{\"format\": \"orvane-configuration\", \"version\": " + version + ", \"values\": " + values + "}";
}

// A typed get over a default of 7, and what it leaves: 7 when a refusal kept the default,
// whatever the type makes of 7.
template <typename value_t>
std::pair<bool, double> getAs(config_t const& config)
{
    value_t value = value_t(7);
    const bool ok = getValue(config, "key", value);
    return {ok, !ok && value == value_t(7) ? 7.0 : double(value)};
}

} // namespace

// What the path holds ("<folder>": a folder, "<none>": nothing), and how loading it ends.
struct outcome_t { QByteArray content; int status; QString problem; };
Q_DECLARE_METATYPE(outcome_t)

// A typed read of the text ("<absent>": no such key) over a default of 7, and what it gives.
struct typed_t { QString type; QByteArray text; double expected; };
Q_DECLARE_METATYPE(typed_t)

class tst_config_t : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        path = dir->filePath(QStringLiteral("settings.conf"));
    }
    void cleanup()
    {
        dir.reset();
        QLocale::setDefault(QLocale::c());
    }

    void roundTripThroughFile_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unicode") << QByteArray("m\xC3\xA5l") << QByteArray("Zoë 北京 \xF0\x9F\x9A\xA2");
        QTest::newRow("escapes") << QByteArray("a=b") << QByteArray("\"x\" \\n line 1\nline=2\r\n");
        QTest::newRow("nul byte") << QByteArray("nul") << QByteArray("a\0b", 3);
    }
    void roundTripThroughFile()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        config_t config;
        QVERIFY(config.setValue(key.toStdString(), value.toStdString()));
        QVERIFY(config.save(path));
        QCOMPARE(QJsonDocument::fromJson(readFile(path)).object().value(QStringLiteral("version")).toInt(), 1);

        config_t loaded;
        QCOMPARE(loaded.load(path).status, loadResult_t::Loaded);
        std::string got;
        QVERIFY(loaded.getValue(key.toStdString(), got));
        QCOMPARE(QByteArray(got.data(), int(got.size())), value);
    }

    void loadOutcome_data()
    {
        QTest::addColumn<outcome_t>("o");
        QTest::newRow("missing") << outcome_t{QByteArray("<none>"), int(loadResult_t::Missing), QString()};
        QTest::newRow("newer version")
            << outcome_t{validFile("3", "{\"a\": \"1\"}"), int(loadResult_t::Loaded), QString()};
        QTest::newRow("folder") << outcome_t{QByteArray("<folder>"), int(loadResult_t::Unreadable), "folder"};
        QTest::newRow("empty file") << outcome_t{QByteArray(), int(loadResult_t::Corrupt), "empty"};
        QTest::newRow("array") << outcome_t{QByteArray("[1, 2]"), int(loadResult_t::Corrupt), "object"};
        QTest::newRow("version as text") << outcome_t{validFile("\"1\"", "{}"), int(loadResult_t::Corrupt), "version"};
        QTest::newRow("values not an object") << outcome_t{validFile("1", "[]"), int(loadResult_t::Corrupt), "values"};
#ifdef Q_OS_LINUX
        // it opens, but reading it fails as a failing disk would
        QTest::newRow("fails to read")
            << outcome_t{QByteArray("<failing>"), int(loadResult_t::Unreadable), "cannot be read ("};
#endif
        QTest::newRow("wrong format")
            << outcome_t{validFile("1", "{}").replace("orvane-", "other-"), int(loadResult_t::Corrupt), "not a"};
    }
    void loadOutcome()
    {
        QFETCH(outcome_t, o);
        if (o.content == "<failing>")
            path = QStringLiteral("/proc/self/mem");
        else if (o.content == "<folder>")
            QVERIFY(QDir().mkpath(path));
        else if (o.content != "<none>")
            QVERIFY(writeFile(path, o.content));
        config_t config;
        config.setValue("stale", "1");
        const loadResult_t result = config.load(path);
        QCOMPARE(int(result.status), o.status);
        QCOMPARE(config.hasKey("a"), o.status == loadResult_t::Loaded);
        QCOMPARE(config.isEmpty(), o.status != loadResult_t::Loaded);
        QCOMPARE(result.message.isEmpty(), o.problem.isEmpty());
        if (o.problem.isEmpty())
            return;
        QVERIFY(result.message.contains(o.problem) && result.message.contains(QDir::toNativeSeparators(path)));
        if (o.status != loadResult_t::Corrupt)
            return;
        // kept aside under a dated name, and the message says where
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readFile(result.backupPath), o.content);
        QVERIFY(result.backupPath.contains(QRegularExpression(QStringLiteral("\\.corrupt-\\d{8}-\\d{6}$"))));
        QVERIFY(result.message.contains(QDir::toNativeSeparators(result.backupPath)));
        // a second damaged file the same second gets a name of its own
        QVERIFY(writeFile(path, "garbage"));
        const QString second = config_t().load(path).backupPath;
        QVERIFY(second != result.backupPath);
        QCOMPARE(readFile(second), QByteArray("garbage"));
    }

    // a slip when editing by hand must not cost every device and setting
    void handWrittenValuesReadAsText()
    {
        QVERIFY(writeFile(path, validFile("1", "{\"n\": 95, \"f\": 0.1, \"b\": true, \"x\": null, \"l\": [1]}")));
        config_t config;
        QCOMPARE(config.load(path).status, loadResult_t::Loaded);
        std::string n, f, b;
        QVERIFY(config.getValue("n", n) && config.getValue("f", f) && config.getValue("b", b));
        QCOMPARE(QString::fromStdString(n + " " + f + " " + b), QStringLiteral("95 0.1 true"));
        QVERIFY(!config.hasKey("x") && !config.hasKey("l"));
    }

    void saveIntoMissingFolderFails()
    {
        QVERIFY(writeFile(dir->filePath(QStringLiteral("plain")), "x"));
        QString const target = dir->filePath(QStringLiteral("plain/settings.conf"));
        QString error;
        QVERIFY(!config_t().save(target, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    }

    void fullDiskKeepsLastSave()
    {
        fullDisk_t disk;
        if (!disk.isMounted())
            QSKIP("cannot mount a small file system here");
        QString const file = disk.filePath(QStringLiteral("orvane.conf"));
        config_t config;
        config.setValue("devices.count", "1");
        QVERIFY(config.save(file));
        QByteArray const before = readFile(file);
        disk.fill();
        config.setValue("big", std::string(8192, 'x'));
        QString message;
        QVERIFY(!config.save(file, &message));
        QVERIFY2(message.contains(QStringLiteral("No space left on device")), qPrintable(message));
        QCOMPARE(readFile(file), before);
        QCOMPARE(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files).filter(QStringLiteral("orvane")),
                 QStringList{QStringLiteral("orvane.conf")});
    }

    void typedGetKeepsDefaults_data()
    {
        QTest::addColumn<typed_t>("t");
        QTest::newRow("lowest int") << typed_t{"int", QByteArray("-2147483648"), -2147483648.0};
        QTest::newRow("blanks and a plus") << typed_t{"int", QByteArray(" +12\n"), 12.0};
        QTest::newRow("overflow") << typed_t{"int", QByteArray("2147483648"), 7.0};
        QTest::newRow("trailing text") << typed_t{"double", QByteArray("1,5"), 7.0};
        QTest::newRow("missing") << typed_t{"unsigned", QByteArray("<absent>"), 7.0};
        QTest::newRow("unsigned with a sign") << typed_t{"unsigned", QByteArray("-0"), 7.0};
        QTest::newRow("exponent") << typed_t{"double", QByteArray(".5e3"), 500.0};
        QTest::newRow("overflow of a double") << typed_t{"double", QByteArray("1e400"), 7.0};
        QTest::newRow("overflow of a float only") << typed_t{"float", QByteArray("-1e39"), 7.0};
        QTest::newRow("bool as a word") << typed_t{"bool", QByteArray(" FALSE "), 0.0};
        QTest::newRow("bool as another word") << typed_t{"bool", QByteArray("yes"), 7.0};
    }
    void typedGetKeepsDefaults()
    {
        QFETCH(typed_t, t);
        config_t config;
        if (t.text != "<absent>")
            QVERIFY(setValue(config, "key", t.text.constData()));
        const auto got = t.type == "int" ? getAs<int>(config) : t.type == "unsigned" ? getAs<unsigned int>(config)
                       : t.type == "double" ? getAs<double>(config) : t.type == "float" ? getAs<float>(config)
                                                                   : getAs<bool>(config);
        QCOMPARE(got.first, t.expected != 7.0);
        QVERIFY(std::fabs(got.second - t.expected) <= 1e-6 * std::max(1.0, std::fabs(t.expected)));
    }

    void typedSetReadsBack()
    {
        config_t config;
        double d = 0;
        QVERIFY(setValue(config, "d", 0.123456789, 12) && getValue(config, "d", d) && std::fabs(d - 0.123456789) < 1e-12);
        // numbers are written the same in any locale, without a sign on a rounded zero
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::string text;
        QVERIFY(setValue(config, "z", -0.001, 2) && config.getValue("z", text) && text == "0.00");
        QVERIFY(setValue(config, "i", -std::numeric_limits<double>::infinity()) && getValue(config, "i", text));
        QCOMPARE(text, std::string("-inf"));
        // text that is not UTF-8 could not be written back as it was read
        QVERIFY(!config.setValue("bad", "a\xFF") && !config.setValue("\xED\xA0\x80", "surrogate"));
        QVERIFY(!config.hasKey("bad"));
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

QTEST_GUILESS_MAIN(tst_config_t)
#include "tst_config.moc"
