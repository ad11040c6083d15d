// libFuzzer target: any bytes as the fix journal. Whatever the file holds, the store opens
// with only sound fixes, takes a new one, exports a well-formed GPX file of them all, and
// finds the new fix again when it opens the file once more: damage never costs a new fix.

#include "fuzzSupport.h"

#include <orvane/fixes/fixManager.h>

#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

using fuzz::require;
using orvane::fixes::fix_t;
using orvane::fixes::fixManager_t;

namespace {

int waypointsIn(QByteArray const& gpx)
{
    QXmlStreamReader xml(gpx);
    int count = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("wpt"))
            ++count;
    }
    return xml.hasError() ? -1 : count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    QDir const folder = fuzz::scratchFolder();
    QString const path = folder.filePath(QStringLiteral("fixes.journal"));
    fuzz::writeFile(path, reinterpret_cast<char const*>(data), qint64(size));

    fixManager_t* store = fixManager_t::instance();
    store->open(path);
    QList<fix_t> const read = store->fixes();
    quint64 maxId = 0;
    for (fix_t const& fix : read) {
        require(std::isfinite(fix.time) && std::fabs(fix.coord.lat) <= 1.5708 && std::fabs(fix.coord.lon) <= 3.1416,
                "a fix that is not sound");
        require(fix.id > 0, "a fix without an id");
        maxId = std::max(maxId, fix.id);
    }

    tolvgeodesy::coordLL_t const where(0.2, -0.7);
    require(store->addFix(7, 1.5e9, orvane::fixes::fixTypeManOverboard, where, 12.5, QStringLiteral("new")),
            "the store refuses a fix");
    require(store->count() == read.size() + 1 && store->fixes().last().id > maxId, "the new fix is not the newest");

    QString const gpx = folder.filePath(QStringLiteral("fixes.gpx"));
    require(store->exportGpx(gpx), "the fixes cannot be exported");
    require(waypointsIn(fuzz::readFile(gpx)) == read.size() + 1, "the GPX file is not well-formed or lacks fixes");

    store->close();
    store->open(path);
    QList<fix_t> const again = store->fixes();
    require(again.size() == read.size() + 1, "opened again, the journal has other fixes");
    fix_t const& last = again.last();
    require(last.portId == 7 && last.coord.lat == where.lat && last.coord.lon == where.lon && last.height == 12.5
                && last.description == QLatin1String("new"),
            "the new fix did not come back");
    store->close();
    return 0;
}
