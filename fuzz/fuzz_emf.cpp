// Fuzz target: the decoder of enhanced metafiles (record walk, libemf2svg, Qt Svg).
#include "platform/pictures.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

// libemf2svg leaves the fontconfig patterns of its font look-ups behind (a few hundred bytes per
// text record): not ours to fix, and not what this target looks for.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_emf";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    platform::decodeEmf(bytes);
    return 0;
}
