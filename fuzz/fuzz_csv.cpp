// Feeds arbitrary bytes to the importer (CSV layer, format recognition, every reader), read
// whole and in small chunks: the two must give the same record and report. The record must
// then write as a vehicle file that reads back the same.
#include "import/csv.h"
#include "import/importer.h"
#include "vehicle/vtrfile.h"

#include <QBuffer>
#include <QDate>

#include <cstddef>
#include <cstdint>

namespace {

importer::Result run(const QByteArray &bytes, importer::DateOrder order)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return importer::importDevice(device, order, QDate(2026, 12, 7));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The order given comes from the input too, so that every branch of the choice is reached.
    const auto order = importer::DateOrder(size > 1 ? data[1] % 4 : 0);
    // A small limit on quoted fields, so that a quote never closed is met in small inputs.
    importer::csv::Reader::setQuotedLimitForTests(64);
    const importer::Result whole = run(bytes, order);
    importer::csv::Reader::setChunkForTests(size > 0 ? 1 + data[0] % 16 : 1);
    const importer::Result cut = run(bytes, order);
    importer::csv::Reader::setChunkForTests(0);
    importer::csv::Reader::setQuotedLimitForTests(0);
    if (cut.ok != whole.ok || cut.error != whole.error || !cut.record.sameStoredContent(whole.record)
        || cut.report.lines() != whole.report.lines())
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
