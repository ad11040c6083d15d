#include "application/safeFileName.h"

#include <QtTest>

using namespace orvane::app;

class tst_safeFileName : public QObject
{
    Q_OBJECT

private slots:
    void partIsSafeAndRecognisable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("words") << "Error Ellipse Plot" << "error-ellipse-plot";
        QTest::newRow("accents") << QString::fromUtf8("Kompass Süd 2") << "kompass-sud-2";
        QTest::newRow("path characters") << "../GNSS: 1/2*?" << "gnss-1-2";
        QTest::newRow("empty") << QString() << "device";
        QTest::newRow("blank") << " \t" << "device";
        // two such names must not share a file
        QTest::newRow("another script") << QString::fromUtf8("ГНСС") << "device-048d7c34";
        QTest::newRow("longest kept whole") << QString(64, QLatin1Char('a')) << QString(64, QLatin1Char('a'));
        QTest::newRow("cut") << QString(250, QLatin1Char('x')) << QString(55, QLatin1Char('x')) + "-c37ef17c";
    }

    void partIsSafeAndRecognisable()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QCOMPARE(safeFileName_t::part(text, QStringLiteral("device")), part);
    }
};

QTEST_GUILESS_MAIN(tst_safeFileName)
#include "tst_safeFileName.moc"
