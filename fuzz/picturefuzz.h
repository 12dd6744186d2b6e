#pragma once
// What the picture fuzz targets share: a quiet GUI application for Qt's image and SVG code, and
// the input as a QByteArray without a copy.

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

// The metafile libraries look fonts up through fontconfig, whose state stays alive until exit (the
// program keeps fontconfig up on purpose): not a leak of ours, and not what these targets look for.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace picturefuzz {

inline void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down after libFuzzer's own exit handlers is not what we test.
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    (void)app;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace picturefuzz
