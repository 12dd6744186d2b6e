// Feeds arbitrary bytes to the importer (CSV layer, format recognition, every reader), read
// whole and in small chunks: the two must give the same record and report. A file of several
// vehicles is read again for the first of them. The record must then write as a vehicle file
// that reads back the same, and hold at least one entry.
#include "core/import/csv.h"
#include "core/import/importer.h"
#include "core/vehicle/vtrfile.h"

#include <QBuffer>
#include <QDate>

#include <cstddef>
#include <cstdint>

namespace {

importer::Result run(const QByteArray &bytes, const importer::Options &options)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return importer::importDevice(device, options, QDate(2026, 12, 7));
}

bool same(const importer::Result &a, const importer::Result &b)
{
    return a.ok == b.ok && a.error == b.error && a.record.sameStoredContent(b.record)
        && a.report.lines() == b.report.lines();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The order given comes from the input too, so that every branch of the choice is reached.
    importer::Options options{importer::DateOrder(size > 1 ? data[1] % 4 : 0), QString()};
    // A small limit on quoted fields, so that a quote never closed is met in small inputs.
    importer::csv::Reader::setQuotedLimitForTests(64);
    importer::Result whole = run(bytes, options);
    if (whole.ok && whole.report.needsVehicle) {
        if (whole.report.vehicles.size() < 2)
            __builtin_trap();
        options.vehicle = whole.report.vehicles.front().name;
        whole = run(bytes, options);
    }
    importer::csv::Reader::setChunkForTests(size > 0 ? 1 + data[0] % 16 : 1);
    const importer::Result cut = run(bytes, options);
    importer::csv::Reader::setChunkForTests(0);
    importer::csv::Reader::setQuotedLimitForTests(0);
    if (!same(whole, cut))
        __builtin_trap();
    // Never an empty success.
    if (whole.ok && !whole.report.needsDateOrder && !whole.report.needsVehicle
        && whole.report.entryCount() == 0)
        __builtin_trap();

    if (whole.ok) {
        // Every text fits a line of the vehicle file: the record reads back unchanged.
        static const vtrfile::PictureHook noFiles{[](const QString &) { return false; },
                                                  [](const QString &) { return QString(); }};
        VehicleRecord back = VehicleRecord::create(QDate(2026, 12, 7));
        const vtrfile::LoadResult loaded =
            vtrfile::loadBytes(back, vtrfile::encode(vtrfile::writeLines(whole.record)), noFiles);
        if (!loaded.ok || !back.sameStoredContent(whole.record))
            __builtin_trap();
        (void)whole.report.lines();
    }
    return 0;
}
