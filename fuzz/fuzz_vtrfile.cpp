// Feeds arbitrary bytes to the vehicle file reader, from memory and streamed in small chunks
// (the two must agree), then writes the record back.
#include "core/reports/calculations.h"
#include "core/vehicle/vtrfile.h"

#include <QBuffer>
#include <QDate>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const vtrfile::PictureHook noFiles{[](const QString &) { return false; },
                                              [](const QString &) { return QString(); }};
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 7));
    const vtrfile::LoadResult fromMemory = vtrfile::loadBytes(r, bytes, noFiles);

    // The chunk size comes from the input, so that line ends meet chunk boundaries anywhere.
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    vtrfile::setReadChunkForTests(size > 0 ? 1 + data[0] % 16 : 1);
    VehicleRecord s = VehicleRecord::create(QDate(2026, 12, 7));
    const vtrfile::LoadResult streamed = vtrfile::loadDevice(s, device, noFiles);
    vtrfile::setReadChunkForTests(0);
    if (streamed.error != fromMemory.error || !s.sameStoredContent(r))
        __builtin_trap();

    computeAll(r);
    const QByteArray written = vtrfile::encode(vtrfile::writeLines(r));
    if (written.isEmpty())
        __builtin_trap();
    return 0;
}
