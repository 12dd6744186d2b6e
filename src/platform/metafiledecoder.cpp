// Enhanced (EMF) and plain (WMF) metafiles: converted to SVG in memory by libemf2svg and
// libwmf, then drawn by Qt Svg.
#include "platform/picturedecoders_p.h"

#include <QFile>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/svg.h>

// libemf2svg shuts fontconfig down (FcFini) after it looks up a font for a text record. Qt
// keeps using fontconfig for the whole run, and fontconfig aborts the process when it is shut
// down under a user. This definition takes the place of fontconfig's, so that fontconfig stays
// up until the program ends (the operating system reclaims it then).
extern "C" void FcFini(void) {}

namespace platform {

using namespace detail;

namespace {

// Largest side we draw at; a metafile up to kMaxDeclaredSide is drawn scaled down to it.
// Beyond that the figures are nonsense (and Qt's stroker crawls on the tiny scale they need).
constexpr int kMaxSide = 8192;
constexpr int kMaxDeclaredSide = 32767;

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// The number of bytes of a sound EMF (header, records, EOF), or 0. libemf2svg trusts the
// record sizes and reads past the end of a file cut short, so it only gets files that walk.
qsizetype emfLength(const QByteArray &b)
{
    constexpr quint32 kHeader = 1;
    constexpr quint32 kEof = 14;
    constexpr quint32 kSignature = 0x464D4520; // " EMF"
    if (b.size() < 88 || u32(b, 0) != kHeader || u32(b, 40) != kSignature)
        return 0;
    const quint32 headerSize = u32(b, 4);
    const quint32 total = u32(b, 48);
    if (headerSize < 88 || headerSize % 4 != 0 || total > quint64(b.size()) || headerSize > total)
        return 0;
    quint64 at = 0;
    while (at + 8 <= total) {
        const quint32 type = u32(b, qsizetype(at));
        const quint32 size = u32(b, qsizetype(at) + 4);
        if (size < 8 || size % 4 != 0 || at + size > total)
            return 0;
        at += size;
        if (type == kEof)
            return qsizetype(at);
    }
    return 0;
}

struct WmfLayout {
    qsizetype header = 0;   // offset of the metafile header (after a placeable header)
    qsizetype length = 0;   // bytes up to the end record; 0 when the file does not walk
    quint32 largestRecord = 0; // in 16-bit words
};

// Walks a WMF up to its end record.
WmfLayout wmfLayout(const QByteArray &b)
{
    constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
    WmfLayout w;
    if (b.size() >= 22 && u32(b, 0) == kPlaceableKey)
        w.header = 22;
    if (b.size() < w.header + 18)
        return w;
    const quint16 type = u16(b, w.header);
    if ((type != 1 && type != 2) || u16(b, w.header + 2) != 9)
        return w;
    quint64 p = quint64(w.header) + 18;
    while (p + 6 <= quint64(b.size())) {
        const quint32 words = u32(b, qsizetype(p));
        const quint64 bytes = quint64(words) * 2;
        const quint16 function = u16(b, qsizetype(p) + 4);
        if (bytes < 6 || p + bytes > quint64(b.size()))
            return w;
        w.largestRecord = std::max(w.largestRecord, words);
        p += bytes;
        if (function == 0) {
            w.length = qsizetype(p);
            return w;
        }
    }
    return w;
}

// libwmf measures text with its own font files, by default the Type 1 fonts of one optional
// package; without them it calls every picture holding text damaged. It gets the DejaVu faces
// instead (they come with the font configuration Qt depends on). libwmf caches faces by file
// path and loses a second name given the same path, so the names sharing a file spell its path
// differently.
struct PsFace {
    const char *psName;
    const char *file;
};
constexpr PsFace kPsFaces[] = {
    {"Helvetica", "DejaVuSans.ttf"},
    {"Helvetica-Oblique", "./DejaVuSans.ttf"},
    {"Helvetica-Bold", "DejaVuSans-Bold.ttf"},
    {"Helvetica-BoldOblique", "./DejaVuSans-Bold.ttf"},
    {"Times-Roman", "DejaVuSerif.ttf"},
    {"Times-Italic", "./DejaVuSerif.ttf"},
    {"Times-Bold", "DejaVuSerif-Bold.ttf"},
    {"Times-BoldItalic", "./DejaVuSerif-Bold.ttf"},
    {"Courier", "DejaVuSansMono.ttf"},
    {"Courier-Oblique", "./DejaVuSansMono.ttf"},
    {"Courier-Bold", "DejaVuSansMono-Bold.ttf"},
    {"Courier-BoldOblique", "./DejaVuSansMono-Bold.ttf"},
    {"Symbol", "././DejaVuSans.ttf"},
};

QByteArray dejaVuFolder()
{
    static const QByteArray folder = QFile::encodeName(QStandardPaths::locate(
        QStandardPaths::GenericDataLocation, QStringLiteral("fonts/truetype/dejavu"),
        QStandardPaths::LocateDirectory));
    return folder;
}

// The library's own font lookup; when it finds no file at all, the text keeps a standard
// name and no face: Qt Svg still draws it, only the library cannot measure it (centred or
// right-aligned text then starts at its reference point).
void mapFont(wmfAPI *api, wmfFont *font)
{
    const wmf_error_t before = api->err;
    wmf_ipa_font_map(api, font);
    if (before != wmf_E_None || WMF_FONT_FTFACE(font) || !font->user_data)
        return;
    api->err = wmf_E_None;
    static char names[][22] = {"Helvetica", "Helvetica-Oblique", "Helvetica-Bold",
                               "Helvetica-BoldOblique"};
    const int style = (font->lfWeight > 550 ? 2 : 0) + (font->lfItalic == 1 ? 1 : 0);
    auto *face = static_cast<wmfIPAFont *>(font->user_data);
    face->ps_name = names[style];
    face->ft_face = nullptr;
}

// Frees what the C libraries hand back with malloc.
struct CFree {
    void operator()(char *p) const { std::free(p); }
};

} // namespace

namespace detail {

PictureResult renderSvg(const QByteArray &svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return failure(badMetafile());
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        return failure(badMetafile());
    if (size.width() > kMaxDeclaredSide || size.height() > kMaxDeclaredSide)
        return failure(tooLarge());
    // A vector picture is drawn smaller rather than refused when it would not fit.
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        size.scale(kMaxSide, kMaxSide, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    PictureResult r;
    r.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (r.image.isNull())
        return failure(tooLarge());
    r.image.fill(Qt::transparent);
    QPainter painter(&r.image);
    renderer.render(&painter);
    return r;
}

} // namespace detail

PictureResult decodeEmf(const QByteArray &bytes)
{
    const qsizetype length = emfLength(bytes);
    if (length == 0)
        return failure(badMetafile());
    // libemf2svg takes a writable buffer.
    QByteArray data = bytes.left(length);
    generatorOptions options{};
    char noNamespace[] = "";
    options.nameSpace = noNamespace; // with a prefix it writes malformed XML
    options.verbose = false;
    // EMF+ records ride in comments next to their plain EMF drawing; the plain one is enough.
    options.emfplus = false;
    options.svgDelimiter = true;
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(data.data(), std::size_t(length), &out, &outLength, &options);
    const std::unique_ptr<char, CFree> owned(out);
    if (!ok || !out || outLength == 0)
        return failure(badMetafile());
    return renderSvg(QByteArray(out, qsizetype(outLength)));
}

PictureResult decodeWmf(const QByteArray &bytes)
{
    const WmfLayout layout = wmfLayout(bytes);
    const qsizetype length = layout.length;
    if (length == 0)
        return failure(badMetafile());
    QByteArray data = bytes.left(length);
    // libwmf allocates the record buffer and sizes its reading from the header's figures:
    // give it the ones the walk found, not whatever the file claims.
    qToLittleEndian<quint32>(quint32(length / 2), data.data() + layout.header + 6);
    qToLittleEndian<quint32>(layout.largestRecord, data.data() + layout.header + 12);

    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    QByteArray fontFolder = dejaVuFolder();
    char *fontDirs[] = {fontFolder.data(), nullptr};
    options.fontdirs = fontDirs;
    wmfMapping psMap[std::size(kPsFaces) + 1] = {};
    for (std::size_t i = 0; i < std::size(kPsFaces); ++i) {
        psMap[i].name = const_cast<char *>(kPsFaces[i].psName);
        psMap[i].mapping = const_cast<char *>(kPsFaces[i].file);
    }
    options.font.ps = psMap;
    // Ghostscript's font map would send the lookup back to the Type 1 files.
    char noGsMap[] = "/dev/null";
    options.gs_fontmap_file = noGsMap;
    wmfAPI *api = nullptr;
    unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR
                          | WMF_OPT_NO_DEBUG | WMF_OPT_FONTMAP | WMF_OPT_GS_FONTMAP;
    if (!fontFolder.isEmpty())
        flags |= WMF_OPT_FONTDIRS;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return failure(badMetafile());
    }
    wmf_ipa_font_map_set(api, mapFont);
    QByteArray svg;
    bool good = wmf_mem_open(api, reinterpret_cast<unsigned char *>(data.data()), long(length)) == wmf_E_None;
    wmfD_Rect bbox{};
    if (good)
        good = wmf_scan(api, 0, &bbox) == wmf_E_None;
    if (good) {
        wmf_svg_t *device = WMF_SVG_GetData(api);
        unsigned int width = 0;
        unsigned int height = 0;
        good = wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None && width > 0 && height > 0
               && fitsInMemory(width, height);
        if (good) {
            device->out = wmf_stream_create(api, nullptr);
            device->bbox = bbox;
            device->width = width;
            device->height = height;
            good = device->out && wmf_play(api, 0, &bbox) == wmf_E_None;
            if (device->out) {
                char *mem = nullptr;
                unsigned long memLength = 0;
                wmf_stream_destroy(api, device->out, &mem, &memLength);
                device->out = nullptr;
                if (good && mem && memLength > 0)
                    svg = QByteArray(mem, qsizetype(memLength));
                // The memory stream's buffer comes from the library's own allocator, which
                // wmf_api_destroy releases.
            }
        }
        wmf_mem_close(api);
    }
    wmf_api_destroy(api);
    if (!good || svg.isEmpty())
        return failure(badMetafile());
    return renderSvg(svg);
}

} // namespace platform
