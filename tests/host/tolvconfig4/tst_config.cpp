#include "tolvconfig/config.h"
#include "tolvconfig/configCodec.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "fullDisk.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#ifdef Q_OS_LINUX
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace tolvconfig;

namespace {

// Root ignores file permissions; without these two capabilities it is held to them like anyone.
class withoutPermissionOverride_t
{
public:
    withoutPermissionOverride_t()
    {
#ifdef Q_OS_LINUX
        header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header, saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped = syscall(SYS_capset, &header, reduced) == 0;
#endif
    }
    ~withoutPermissionOverride_t()
    {
#ifdef Q_OS_LINUX
        if (dropped)
            syscall(SYS_capset, &header, saved);
#endif
    }

private:
#ifdef Q_OS_LINUX
    __user_cap_header_struct header = {};
    __user_cap_data_struct saved[2] = {};
    bool dropped = false;
#endif
};

bool canCreateFileIn(QString const& folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    bool const created = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return created;
}

QByteArray fileBytes(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(QString const& path, QByteArray const& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), qint64(data.size()));
}

QByteArray validFile(QByteArray const& version, QByteArray const& values)
{
    return "{\"format\": \"orvane-configuration\", \"version\": " + version + ", \"values\": " + values + "}";
}

// The "version" value a file holds, or why there is none.
std::string storedVersion(QString const& path)
{
    config_t config;
    std::string text = "not loaded";
    if (config.load(path).status == loadResult_t::Loaded)
        config.getValue("version", text);
    return text;
}

bool saveVersion(QString const& path, std::string const& version, QString* error = nullptr)
{
    config_t config;
    config.setValue("version", version);
    return config.save(path, error);
}

template <typename value_t>
std::pair<bool, double> getAs(config_t const& config, value_t fallback)
{
    value_t value = fallback;
    bool const ok = getValue(config, "key", value);
    return {ok, double(value)};
}

} // namespace

class tst_config_t : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        path = dir->filePath(QStringLiteral("settings.conf"));
    }
    void cleanup()
    {
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir.reset();
        QLocale::setDefault(QLocale::c());
    }

    void roundTripThroughFile_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unicode") << QByteArray("name") << QByteArray("Zoë 北京 \xF0\x9F\x9A\xA2");
        QTest::newRow("unicode key") << QByteArray("m\xC3\xA5l") << QByteArray("1");
        QTest::newRow("newline and equals") << QByteArray("a=b") << QByteArray("line 1\nline=2\r\n");
        QTest::newRow("quotes and backslash") << QByteArray("q") << QByteArray("\"x\" \\n '\\\"");
        QTest::newRow("empty value") << QByteArray("empty") << QByteArray();
        QTest::newRow("nul byte") << QByteArray("nul") << QByteArray("a\0b", 3);
        QTest::newRow("json text") << QByteArray("{}") << QByteArray("{\"values\": 3}");
    }
    void roundTripThroughFile()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        config_t config;
        QVERIFY(config.setValue(key.toStdString(), value.toStdString()));
        QVERIFY(config.setValue("neighbour", " x "));
        QString error;
        QVERIFY2(config.save(path, &error), qPrintable(error));

        config_t loaded;
        QCOMPARE(loaded.load(path).status, loadResult_t::Loaded);
        QCOMPARE(loaded.keys(), config.keys());
        std::string text = "untouched";
        QVERIFY(loaded.getValue(key.toStdString(), text));
        QCOMPARE(QByteArray(text.data(), int(text.size())), value);
    }

    void savedFileIsSortedReadableJson()
    {
        config_t config;
        config.setValue("zulu", "1");
        config.setValue("alpha", "2");
        QVERIFY(config.save(dir->filePath(QStringLiteral("new/sub/settings.conf"))));
        QVERIFY(config.save(path));
        QByteArray const text = fileBytes(path);
        QVERIFY(text.contains("\n    \"format\": \"orvane-configuration\""));
        QVERIFY(text.indexOf("\"alpha\"") < text.indexOf("\"zulu\""));
        QCOMPARE(QJsonDocument::fromJson(text).object().value(QStringLiteral("version")).toInt(), 1);
    }

    void refusesTextThatCannotBeKept_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("invalid byte") << QByteArray("a\xFF");
        QTest::newRow("overlong") << QByteArray("\xC0\xAF");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("cut sequence") << QByteArray("\xE2\x82");
    }
    void refusesTextThatCannotBeKept()
    {
        QFETCH(QByteArray, text);
        config_t config;
        QVERIFY(!config.setValue("key", text.toStdString()));
        QVERIFY(!config.setValue(text.toStdString(), "value"));
        QVERIFY(config.isEmpty());
    }

    void copyIsIndependent()
    {
        config_t original;
        original.setValue("a", "1");
        config_t copy(original);
        copy.setValue("a", "2");
        config_t assigned;
        assigned = original;
        original.clear();
        std::string text;
        QVERIFY(copy.getValue("a", text) && text == "2");
        QVERIFY(assigned.getValue("a", text) && text == "1");
    }

    void missingFileGivesEmptyStore()
    {
        config_t config;
        config.setValue("stale", "1");
        loadResult_t const result = config.load(path);
        QCOMPARE(result.status, loadResult_t::Missing);
        QVERIFY(result.ok() && result.message.isEmpty() && config.isEmpty());
    }

    void newerVersionStillLoads()
    {
        writeBytes(path, "{\"format\": \"orvane-configuration\", \"version\": 3, \"values\": {\"a\": \"1\"},"
                         " \"extra\": [1]}");
        config_t config;
        QCOMPARE(config.load(path).status, loadResult_t::Loaded);
        QVERIFY(config.hasKey("a"));
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
        QByteArray const before = fileBytes(file);
        disk.fill();
        config.setValue("big", std::string(8192, 'x'));
        QString message;
        QVERIFY(!config.save(file, &message));
        QVERIFY2(message.contains(QStringLiteral("No space left on device")), qPrintable(message));
        QCOMPARE(fileBytes(file), before);
    }

    // a slip when editing by hand must not cost every device and setting
    void handWrittenValuesReadAsText()
    {
        writeBytes(path, validFile("1", "{\"n\": 95, \"f\": 0.1, \"b\": true, \"x\": null, \"l\": [1]}"));
        config_t config;
        QCOMPARE(config.load(path).status, loadResult_t::Loaded);
        std::string n, f, b;
        QVERIFY(config.getValue("n", n) && config.getValue("f", f) && config.getValue("b", b));
        QCOMPARE(QString::fromStdString(n + " " + f + " " + b), QStringLiteral("95 0.1 true"));
        QVERIFY(!config.hasKey("x") && !config.hasKey("l"));
    }

    void corruptFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("truncated json") << validFile("1", "{\"a\": \"1\"").left(40) << "line 1";
        QTest::newRow("unterminated string") << QByteArray("{\n\"format\":\n\"orvane") << "line 3";
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\xFF{\x00\"", 6) << "line 1";
        QTest::newRow("empty file") << QByteArray() << "empty";
        QTest::newRow("array") << QByteArray("[1, 2]") << "object";
        QTest::newRow("wrong format") << validFile("1", "{}").replace("orvane-", "other-") << "not a";
        QTest::newRow("version as text") << validFile("\"1\"", "{}") << "version";
        QTest::newRow("values not object") << validFile("1", "[]") << "values";
    }
    void corruptFileIsKeptAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        writeBytes(path, content);
        config_t config;
        config.setValue("stale", "1");
        loadResult_t const result = config.load(path);
        QCOMPARE(result.status, loadResult_t::Corrupt);
        QVERIFY(!result.ok() && config.isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(fileBytes(result.backupPath), content);
        QVERIFY(result.backupPath.contains(QRegularExpression(QStringLiteral("\\.corrupt-\\d{8}-\\d{6}$"))));
        QVERIFY2(result.message.contains(QDir::toNativeSeparators(path)) && result.message.contains(problem)
                     && result.message.contains(QDir::toNativeSeparators(result.backupPath)),
                 qPrintable(result.message));
    }

    void backupNamesDoNotCollide()
    {
        QStringList backups;
        for (int i = 0; i < 3; ++i) {
            writeBytes(path, "garbage");
            backups << config_t().load(path).backupPath;
        }
        backups.removeDuplicates();
        QCOMPARE(backups.size(), 3);
        for (QString const& backup : backups)
            QCOMPARE(fileBytes(backup), QByteArray("garbage"));
    }

    void folderInPlaceOfFileIsUnreadable()
    {
        QVERIFY(QDir().mkpath(path));
        config_t config;
        config.setValue("stale", "1");
        loadResult_t const result = config.load(path);
        QCOMPARE(result.status, loadResult_t::Unreadable);
        QVERIFY(config.isEmpty() && QFileInfo(path).isDir());
        QVERIFY(result.message.contains(QDir::toNativeSeparators(path)));
    }

    void fileWithoutReadPermissionIsUnreadable()
    {
        writeBytes(path, validFile("1", "{}"));
        QFile::setPermissions(path, QFile::WriteOwner);
        withoutPermissionOverride_t restricted;
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("this user reads files regardless of their permissions");
        loadResult_t const result = config_t().load(path);
        QCOMPARE(result.status, loadResult_t::Unreadable);
        QVERIFY(result.message.contains(QDir::toNativeSeparators(path)));
        QVERIFY(QFile::exists(path));
    }

    void interruptedSaveKeepsPreviousFile()
    {
        QVERIFY(saveVersion(path, "A"));
        {
            QSaveFile cancelled(path);
            QVERIFY(cancelled.open(QIODevice::WriteOnly));
            cancelled.write("{\"format\": \"orvane-configuration\", \"values\": {\"version\": \"B");
            cancelled.cancelWriting();
            QVERIFY(!cancelled.commit());
            QSaveFile abandoned(path);
            QVERIFY(abandoned.open(QIODevice::WriteOnly));
            abandoned.write("{\"format\"");   // destroyed without commit, as by a crash
        }
        QCOMPARE(storedVersion(path), std::string("A"));
    }

    void saveIntoReadOnlyFolderFails()
    {
        QVERIFY(saveVersion(path, "A"));
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        QString error;
        bool saved = false;
        {
            withoutPermissionOverride_t restricted;
            if (canCreateFileIn(dir->path()))
                QSKIP("this user writes into folders regardless of their permissions");
            saved = saveVersion(path, "B", &error);
        }
        QVERIFY(!saved);
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QCOMPARE(storedVersion(path), std::string("A"));
    }

#ifdef Q_OS_LINUX
    void saveFailingMidWriteKeepsPreviousFile()
    {
        QVERIFY(saveVersion(path, "A"));
        QString error;
        bool saved = false;
        {
            // A file size limit makes the write fail as a full disk would.
            rlimit old;
            getrlimit(RLIMIT_FSIZE, &old);
            auto const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit const small = {4096, old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
            saved = saveVersion(path, std::string(200000, 'B'), &error);
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        }
        QVERIFY(!saved && !error.isEmpty());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.conf")});
        QCOMPARE(storedVersion(path), std::string("A"));
    }
#endif

    void saveWhereFolderCannotBeMade()
    {
        writeBytes(dir->filePath(QStringLiteral("plain")), "x");
        QString error;
        QVERIFY(!config_t().save(dir->filePath(QStringLiteral("plain/settings.conf")), &error));
        QVERIFY(error.contains(QStringLiteral("plain")));
    }

    void encodeDouble_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 decimals") << 1234.5678 << 0 << "1235";
        QTest::newRow("2 decimals") << 1234.5678 << 2 << "1234.57";
        QTest::newRow("12 decimals") << -0.1 << 12 << "-0.100000000000";
        QTest::newRow("negative decimals") << 2.7 << -3 << "3";
        QTest::newRow("too many decimals") << 0.5 << 40 << "0.50000000000000000";
        QTest::newRow("negative zero") << -0.001 << 2 << "0.00";
        QTest::newRow("large") << 1e20 << 0 << "100000000000000000000";
        QTest::newRow("nan") << std::nan("") << 2 << "nan";
        QTest::newRow("inf") << std::numeric_limits<double>::infinity() << 2 << "inf";
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << 2 << "-inf";
    }
    void encodeDouble()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::string const encoded = tolvConfigEncode(value, decimals);
        QCOMPARE(QString::fromStdString(encoded), text);
        double decoded = 42.0;
        QCOMPARE(tolvConfigDecode(encoded, decoded), std::isfinite(value));
        if (std::isfinite(value))
            QVERIFY(std::fabs(decoded - value) <= 0.5 * std::pow(10.0, -qBound(0, decimals, 17)));
        else
            QCOMPARE(decoded, 42.0);
    }

    void decodeNumber_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("expected");
        auto row = [](char const* type, char const* text, bool accepted, double expected = 0) {
            QByteArray const name = QByteArray(type) + " \"" + QByteArray(text).replace('\n', "\\n") + '"';
            QTest::newRow(name.constData()) << QString::fromLatin1(type) << QByteArray(text) << accepted << expected;
        };
        row("int", "-2147483648", true, -2147483648.0);
        row("int", "+2147483647", true, 2147483647);
        row("int", " 12\n", true, 12);
        for (char const* bad : {"2147483648", "-2147483649", "12x", "1.0", "1e3", "", " ", "-", "0x10", "1 2"})
            row("int", bad, false);
        row("unsigned", "4294967295", true, 4294967295.0);
        row("unsigned", "007", true, 7);
        for (char const* bad : {"4294967296", "99999999999999999999999", "-1", "-0", "2.5", "", "+"})
            row("unsigned", bad, false);
        row("double", "-2.25", true, -2.25);
        row("double", ".5", true, 0.5);
        row("double", "1e3", true, 1000);
        row("double", " 3.5\n", true, 3.5);
        for (char const* bad : {"nan", "NaN", "inf", "-inf", "infinity", "1e400", "1,5", "1.5x", "0x10", "", ".", "e5", "1e", "--1"})
            row("double", bad, false);
        row("float", "3.4e38", true, 3.4e38);
        row("float", "0.1", true, 0.1);
        for (char const* bad : {"1e39", "-1e39", "nan", "inf"})
            row("float", bad, false);
        row("bool", " TRUE ", true, 1);
        row("bool", "1", true, 1);
        row("bool", "False\n", true, 0);
        row("bool", "0", true, 0);
        for (char const* bad : {"yes", "on", "2", "tru", "", "1.0", "true1"})
            row("bool", bad, false);
    }
    void decodeNumber()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        QFETCH(double, expected);
        // Decoded through the typed get, so a rejected text must leave the default in place.
        config_t config;
        QVERIFY(config.setValue("key", text.toStdString()));
        std::pair<bool, double> got;
        double fallback = -7;
        if (type == QLatin1String("int"))
            got = getAs<int>(config, -7);
        else if (type == QLatin1String("unsigned"))
            got = getAs<unsigned int>(config, 7u), fallback = 7;
        else if (type == QLatin1String("double"))
            got = getAs<double>(config, -7.0);
        else if (type == QLatin1String("float"))
            got = getAs<float>(config, -7.0f);
        else
            got = getAs<bool>(config, true), fallback = 1;
        QCOMPARE(got.first, accepted);
        double const wanted = accepted ? expected : fallback;
        QVERIFY2(std::fabs(got.second - wanted) <= 1e-6 * std::max(1.0, std::fabs(wanted)),
                 qPrintable(QString::number(got.second)));
    }

    void typedValuesLeaveDefaultsForMissingKeys()
    {
        config_t config;
        QVERIFY(setValue(config, "d", 0.123456789, 12));
        QVERIFY(setValue(config, "u", 4000000000u));
        QVERIFY(setValue(config, "q", QStringLiteral("Zoë\n")));
        QVERIFY(setValue(config, "c", "text"));   // must not become a bool
        double d = 0;
        unsigned int u = 0;
        QString q;
        std::string c;
        QVERIFY(getValue(config, "d", d) && std::fabs(d - 0.123456789) < 1e-12);
        QVERIFY(getValue(config, "u", u) && u == 4000000000u);
        QVERIFY(getValue(config, "q", q) && q == QStringLiteral("Zoë\n"));
        QVERIFY(getValue(config, "c", c) && c == "text");

        int i = 5;
        QString text = QStringLiteral("default");
        bool flag = true;
        QVERIFY(!getValue(config, "absent", i) && i == 5);
        QVERIFY(!getValue(config, "absent", text) && text == QStringLiteral("default"));
        QVERIFY(!getValue(config, "c", flag) && flag);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

QTEST_GUILESS_MAIN(tst_config_t)
#include "tst_config.moc"
