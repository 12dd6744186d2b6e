// Feeds arbitrary bytes to the vehicle file reader, then writes the record back (the writer
// must accept whatever the reader produced).
#include "vehicle/vtrfile.h"

#include <QDate>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const vtrfile::PictureHook noFiles{[](const QString &) { return false; },
                                              [](const QString &) { return QString(); }};
    VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 7));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    vtrfile::loadBytes(r, bytes, noFiles);
    const QByteArray written = vtrfile::encode(vtrfile::writeLines(r));
    if (written.isEmpty())
        __builtin_trap();
    return 0;
}
