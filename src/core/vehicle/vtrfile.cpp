#include "core/vehicle/vtrfile.h"

#include "core/vehicle/codepage.h"
#include "core/vehicle/textrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>


namespace vtrfile {

using codepage::decodeSpan;

namespace {

// ---------------------------------------------------------------------------------------------
// Reading

qsizetype g_chunk = qsizetype(1) << 18;
// The device failed while being read: what comes after cannot be known.
struct ReadFailed {};

QString openError(const QString &path)
{
    return QStringLiteral("Ne peut ouvrir le fichier %1").arg(path);
}

QString deviceName(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    return file ? file->fileName() : QString();
}

// The lines of a text, from memory or streamed from a file (so that a large file is never held
// whole beside the record made from it). CR LF, a lone CR and a lone LF each end a line; a last
// line without a line end still counts; the text ends at its first NUL byte. A line given by
// next() stays valid until the following call.
class LineReader {
public:
    explicit LineReader(QByteArrayView text) : m_data(text.data()), m_len(text.size())
    {
        const void *nul = m_len > 0 ? std::memchr(m_data, 0, size_t(m_len)) : nullptr;
        if (nul)
            m_len = static_cast<const char *>(nul) - m_data;
        m_textEnd = m_len;
    }

    // Streams `dev` from its start; the text end is found on the way. With `hash`, every byte
    // of the device goes through it on the first pass (see completeHash()).
    explicit LineReader(QIODevice *dev, filestate::ContentHash *hash = nullptr)
        : m_dev(dev), m_remaining(dev->size()), m_textEnd(-1), m_hash(hash)
    {
    }

    // After the first pass: the bytes after a NUL, which the text leaves out, go through the
    // hash too. Then reading may go back anywhere.
    void completeHash()
    {
        if (!m_hash || !m_dev || !m_dev->seek(m_hashed))
            return;
        std::vector<char> rest(size_t(1) << 16);
        for (qint64 got; (got = m_dev->read(rest.data(), qint64(rest.size()))) > 0;)
            m_hash->add(rest.data(), got);
        m_hash = nullptr;
    }

    bool next(QByteArrayView &line)
    {
        for (;;) {
            const char *s = m_data + m_scan;
            const char *end = m_data + m_len;
            while (s != end && *s != '\r' && *s != '\n')
                ++s;
            m_scan = s - m_data;
            if (s == end || (*s == '\r' && s + 1 == end)) {
                // The line or its CR LF may go on in the next chunk (fill() moves the buffer).
                if (m_remaining > 0) {
                    fill();
                    continue;
                }
                if (s == end && m_pos == m_len)
                    return false;
            }
            line = QByteArrayView(m_data + m_pos, s - (m_data + m_pos));
            if (s != end)
                s += (*s == '\r' && s + 1 != end && s[1] == '\n') ? 2 : 1;
            m_pos = m_scan = s - m_data;
            ++m_index;
            return true;
        }
    }

    qsizetype index() const { return m_index; } // of the next line
    qint64 offset() const { return m_base + m_pos; } // of the next line's first byte
    qint64 textEnd() const { return m_textEnd; } // known once the whole text was read

    // Goes back to a line start found earlier.
    void seek(qint64 offset, qsizetype index)
    {
        m_index = index;
        if (!m_dev) {
            m_pos = m_scan = offset;
            return;
        }
        m_base = offset;
        m_pos = m_scan = m_len = 0;
        m_remaining = m_dev->seek(offset) ? std::max<qint64>(0, m_textEnd - offset) : 0;
    }

private:
    // Reads the next chunk after the unread rest of the buffer.
    void fill()
    {
        const qsizetype rest = m_len - m_pos;
        if (m_pos > 0 && rest > 0)
            std::memmove(m_buffer.data(), m_buffer.data() + m_pos, size_t(rest));
        m_base += m_pos;
        m_scan -= m_pos;
        m_pos = 0;
        m_len = rest;
        if (m_buffer.size() < size_t(rest + g_chunk))
            m_buffer.resize(size_t(rest + g_chunk));
        const qint64 got = m_dev->read(m_buffer.data() + rest, std::min<qint64>(g_chunk, m_remaining));
        m_data = m_buffer.data();
        if (got < 0)
            throw ReadFailed{};
        // Hashed on the way: the first pass reads the file in order, once.
        if (m_hash && got > 0 && m_base + rest == m_hashed) {
            m_hash->add(m_buffer.data() + rest, got);
            m_hashed += got;
        }
        if (got == 0) {
            m_remaining = 0;
            if (m_textEnd < 0)
                m_textEnd = m_base + m_len;
            return;
        }
        m_remaining -= got;
        if (const void *nul = std::memchr(m_buffer.data() + rest, 0, size_t(got))) {
            m_len = static_cast<const char *>(nul) - m_buffer.data();
            m_remaining = 0;
            if (m_textEnd < 0)
                m_textEnd = m_base + m_len;
            return;
        }
        m_len = rest + got;
        if (m_remaining == 0 && m_textEnd < 0)
            m_textEnd = m_base + m_len;
    }

    QIODevice *m_dev = nullptr;
    std::vector<char> m_buffer;
    const char *m_data = nullptr;
    qsizetype m_pos = 0;  // start of the next line in the buffer
    qsizetype m_scan = 0; // where the search for its end goes on
    qsizetype m_len = 0;
    qint64 m_base = 0;    // offset of the buffer's first byte in the text
    qint64 m_remaining = 0;
    qint64 m_textEnd;
    qsizetype m_index = 0;
    filestate::ContentHash *m_hash = nullptr;
    qint64 m_hashed = 0;
};

struct OutOfRange {
    qsizetype index;
};

// Reading past the last line throws, as the line list's index check does.
QByteArrayView take(LineReader &c)
{
    QByteArrayView line;
    if (!c.next(line))
        throw OutOfRange{c.index()};
    return line;
}

struct MarkerPos {
    qsizetype index = -1; // line index of the marker
    qint64 after = 0;     // offset of the line after it
};

// One pass over the text: the first line equal to each start marker, letter case ignored,
// and the number of lines.
struct Markers {
    std::array<MarkerPos, 9> page;
    qsizetype lineCount = 0;
};

Markers findMarkers(LineReader &c)
{
    Markers m;
    QByteArrayView line;
    while (c.next(line)) {
        if (line.size() != 7 || line[0] != '[' || line[6] != ']')
            continue;
        const char d = line[5];
        if (d < '1' || d > '8')
            continue;
        static const char upper[] = "PAGE";
        bool same = true;
        for (int i = 0; i < 4 && same; ++i)
            same = (line[1 + i] & ~0x20) == upper[i];
        MarkerPos &p = m.page[size_t(d - '0')];
        if (same && p.index < 0)
            p = {c.index() - 1, c.offset()};
    }
    m.lineCount = c.index();
    return m;
}

// Short ledger texts live inside their entry; the longer ones (descriptions, mostly) repeat a
// lot, and equal ones share one block instead of each holding its own copy.
class LongTexts {
public:
    // As many slots as lines, within bounds: a small file does not pay for a large table.
    explicit LongTexts(qsizetype lines)
        : m_slots(std::clamp<size_t>(std::bit_ceil(size_t(std::max<qsizetype>(lines, 1))), 64, 1 << 14))
    {
    }

    LedgerText get(QByteArrayView b)
    {
        if (b.size() <= LedgerText::kInline || b.size() > 256)
            return LedgerText::fromBytes(b.data(), b.size());
        quint32 h = 2166136261u;
        for (char ch : b)
            h = (h ^ static_cast<unsigned char>(ch)) * 16777619u;
        Slot &slot = m_slots[h & (m_slots.size() - 1)];
        if (slot.hash != h || QByteArrayView(slot.bytes.data(), qsizetype(slot.bytes.size())) != b) {
            slot.hash = h;
            slot.bytes.assign(b.data(), size_t(b.size()));
            slot.value = LedgerText::fromBytes(b.data(), b.size());
        }
        return slot.value;
    }

private:
    struct Slot {
        LedgerText value;
        std::string bytes;
        quint32 hash = 0;
    };
    std::vector<Slot> m_slots;
};

QString text(QByteArrayView b) { return decodeSpan(b.data(), b.size()); }

bool isEndMarker(QByteArrayView line, const char *marker)
{
    return line == QByteArrayView(marker);
}

class Reader {
public:
    Reader(VehicleRecord &r, LineReader &lines, const PictureHook &pictures)
        : m_r(r), m_lines(lines), m_pictures(pictures), m_markers(findMarkers(lines)),
          m_strings(m_markers.lineCount)
    {
        lines.completeHash();
    }

    bool anySection() const
    {
        return std::any_of(m_markers.page.begin(), m_markers.page.end(),
                           [](const MarkerPos &p) { return p.index >= 0; });
    }

    // Throws OutOfRange; returns an error text of the picture hook, empty otherwise.
    QString run()
    {
        page1();
        page2();
        page3();
        page4();
        page5();
        page6();
        if (QString e = page7(); !e.isEmpty())
            return e;
        page8();
        return QString();
    }

private:
    bool at(int page)
    {
        const MarkerPos &p = m_markers.page[size_t(page)];
        if (p.index < 0)
            return false;
        m_lines.seek(p.after, p.index + 1);
        return true;
    }

    QByteArrayView take() { return vtrfile::take(m_lines); }

    // Entries expected in a ledger section: the lines up to the next marker, as a capacity hint.
    size_t expected(int page, int perEntry) const
    {
        const qsizetype from = m_markers.page[size_t(page)].index;
        qsizetype to = m_markers.lineCount;
        for (const MarkerPos &p : m_markers.page)
            if (p.index > from && p.index < to)
                to = p.index;
        return size_t(std::max<qsizetype>(0, (to - from) / perEntry));
    }

    template <size_t N>
    void ledger(int page, std::vector<LedgerEntry<N>> &entries, const char *end)
    {
        entries.reserve(entries.size() + expected(page, int(N)));
        for (;;) {
            const QByteArrayView first = take();
            if (isEndMarker(first, end))
                return;
            // The entry stands from its first line on, so a section cut short keeps what it read.
            entries.emplace_back();
            LedgerEntry<N> &e = entries.back();
            e.text(0) = m_strings.get(first);
            QByteArrayView line;
            for (size_t i = 1; i < N; ++i) {
                line = take();
                e.text(i) = m_strings.get(line);
            }
            if (isEndMarker(line, end))
                return;
        }
    }

    void page1()
    {
        if (!at(1))
            return;
        m_r.edit[1] = text(take());
        m_r.edit[2] = text(take());
        m_r.edit[3] = text(take());
        // The dates and the price are one guarded group: a bad date or a missing line ends the
        // group silently.
        try {
            const QString purchase = text(take());
            if (!purchase.isEmpty()) {
                const std::optional<QDate> d = textrules::readDate(purchase);
                if (!d)
                    return;
                m_r.DateTimePicker1 = *d;
            }
            m_r.edit[4] = text(take());
            const QString registration = text(take());
            if (!registration.isEmpty()) {
                const std::optional<QDate> d = textrules::readDate(registration);
                if (!d)
                    return;
                m_r.DateTimePicker2 = *d;
            }
        } catch (const OutOfRange &) {
        }
    }

    void page2()
    {
        if (at(2))
            ledger(2, m_r.ListView1, "[/PAGE2]");
    }

    void page3()
    {
        if (!at(3))
            return;
        m_r.edit[24] = text(take());
        ledger(3, m_r.ListView2, "[/PAGE3]");
    }

    void page4()
    {
        if (!at(4))
            return;
        for (int n : kPage4Edits)
            m_r.edit[size_t(n)] = text(take());
    }

    void page5()
    {
        if (!at(5))
            return;
        const QString valuation = text(take());
        if (!valuation.isEmpty()) {
            if (const std::optional<QDate> d = textrules::readDate(valuation))
                m_r.DateTimePicker3 = *d;
        }
        for (int n : kPage5Edits)
            m_r.edit[size_t(n)] = text(take());
        m_r.ComboBox1 = text(take());
    }

    void page6()
    {
        if (!at(6))
            return;
        for (;;) {
            const QByteArrayView line = take();
            if (isEndMarker(line, "[/PAGE6]"))
                return;
            m_r.Memo1.append(text(line));
        }
    }

    QString page7()
    {
        if (!at(7))
            return QString();
        const QString name = text(take());
        if (name.isEmpty())
            return QString();
        m_r.Image1 = name;
        if (!m_pictures.exists || !m_pictures.exists(name)) {
            m_r.Image1.clear();
            return QString();
        }
        return m_pictures.load ? m_pictures.load(name) : QString();
    }

    void page8()
    {
        if (at(8))
            ledger(8, m_r.ListView3, "[/PAGE8]");
    }

    VehicleRecord &m_r;
    LineReader &m_lines;
    const PictureHook &m_pictures;
    Markers m_markers;
    LongTexts m_strings;
};

LoadResult failed(const QString &error)
{
    LoadResult res;
    res.ok = false;
    res.error = error;
    return res;
}

// `name` is the file's, for the message of a device that fails while being read; `bytes` tells
// whether the file had any.
LoadResult read(VehicleRecord &r, LineReader &lines, const PictureHook &pictures, bool bytes,
                const QString &name = QString())
{
    r.modified = false;
    r.ListView1.clear();
    r.ListView2.clear();
    r.Memo1.clear();
    LoadResult res;
    try {
        Reader reader(r, lines, pictures);
        res.noSection = bytes && !reader.anySection();
        if (QString e = reader.run(); !e.isEmpty()) {
            res.ok = false;
            res.error = e;
            return res;
        }
    } catch (const OutOfRange &e) {
        return failed(QStringLiteral("Index de liste hors limites (%1)").arg(e.index));
    } catch (const ReadFailed &) {
        return failed(openError(name));
    }
    r.modified = false;
    return res;
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString decodeText(QByteArrayView bytes) { return decodeSpan(bytes.data(), bytes.size()); }

QStringList decodeLines(const QByteArray &bytes)
{
    LineReader c(bytes);
    QStringList lines;
    QByteArrayView line;
    while (c.next(line))
        lines.append(decodeSpan(line.data(), line.size()));
    return lines;
}

PictureHook nameOnlyPictureHook(const QString &folder)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    PictureHook h;
    h.exists = [dir](const QString &name) { return QFileInfo(dir, name).isFile(); };
    h.load = [](const QString &name) {
        const QString ext = QFileInfo(name).suffix();
        static const QStringList known{QStringLiteral("bmp"), QStringLiteral("ico"),
                                       QStringLiteral("emf"), QStringLiteral("wmf"),
                                       QStringLiteral("jpg"), QStringLiteral("jpeg")};
        if (known.contains(ext, Qt::CaseInsensitive))
            return QString();
        return QStringLiteral("Extension de fichier graphique inconnue (.%1)").arg(ext);
    };
    return h;
}

LoadResult loadBytes(VehicleRecord &r, const QByteArray &bytes, const PictureHook &pictures)
{
    LineReader lines(bytes);
    return read(r, lines, pictures, !bytes.isEmpty());
}

LoadResult load(VehicleRecord &r, const QString &path, const PictureHook &pictures, Opening opening)
{
    r.fileName = path;
    QFile f(path);
    if (opening == Opening::RegularOnly) {
        const int fd = filestate::openRegular(path);
        if (fd < 0 || !f.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            return failed(openError(path));
        }
    } else if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return failed(openError(path));
    }
    if (f.isSequential())
        return loadDevice(r, f, pictures);
    // What the file is as it starts to be read: a change while it is read shows later.
    filestate::Identity identity = filestate::identityOf(f.handle(), path, 0);
    filestate::ContentHash hash;
    LineReader lines(&f, &hash);
    LoadResult res = read(r, lines, pictures, f.size() > 0, path);
    identity.hash = hash.result();
    res.identity = identity;
    return res;
}

LoadResult loadDevice(VehicleRecord &r, QIODevice &device, const PictureHook &pictures)
{
    const QString name = deviceName(device);
    if (device.isSequential()) {
        // A pipe or a FIFO has no size to go by and cannot go back: it is read to its end first.
        QByteArray bytes;
        char chunk[1 << 16];
        for (;;) {
            const qint64 got = device.read(chunk, sizeof chunk);
            if (got < 0)
                return failed(openError(name));
            if (got > 0) {
                bytes.append(chunk, got);
                if (std::memchr(chunk, 0, size_t(got)))
                    break; // the text ends there (and /dev/zero never does)
            } else if (!device.waitForReadyRead(-1)) {
                break;
            }
        }
        return loadBytes(r, bytes, pictures);
    }
    LineReader lines(&device);
    return read(r, lines, pictures, device.size() > 0, name);
}

void setReadChunkForTests(qsizetype bytes) { g_chunk = bytes > 0 ? bytes : qsizetype(1) << 18; }

} // namespace vtrfile
