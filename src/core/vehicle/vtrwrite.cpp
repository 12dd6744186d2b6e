#include "core/vehicle/vtrfile.h"

#include "core/vehicle/codepage.h"
#include "core/vehicle/textrules.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <string>
#include <type_traits>

#include <fcntl.h>
#include <unistd.h>

// Writing a vehicle file: its lines, their bytes, and the atomic save.
namespace vtrfile {

using codepage::appendEncoded;

namespace {


const QString kCrLf = QStringLiteral("\r\n");

QString startMarker(int page) { return QStringLiteral("[PAGE%1]").arg(page); }
QString endMarker(int page) { return QStringLiteral("[/PAGE%1]").arg(page); }


// Calls sink(const QString &) or, for the texts of the ledgers, sink(const LedgerText &) for
// every line of the file, in order.
template <class Sink>
void emitLines(const VehicleRecord &r, Sink &&sink)
{
    static const std::array<QString, 9> starts{
        QString(), startMarker(1), startMarker(2), startMarker(3), startMarker(4),
        startMarker(5), startMarker(6), startMarker(7), startMarker(8)};
    static const std::array<QString, 9> ends{
        QString(), endMarker(1), endMarker(2), endMarker(3), endMarker(4),
        endMarker(5), endMarker(6), endMarker(7), endMarker(8)};

    sink(starts[1]);
    sink(r.edit[1]);
    sink(r.edit[2]);
    sink(r.edit[3]);
    sink(textrules::formatDate(r.DateTimePicker1));
    sink(r.edit[4]);
    sink(textrules::formatDate(r.DateTimePicker2));
    sink(ends[1]);

    sink(starts[2]);
    for (const FuelEntry &e : r.ListView1)
        for (const LedgerText &c : e)
            sink(c);
    sink(ends[2]);

    sink(starts[3]);
    sink(r.edit[24]);
    for (const GarageEntry &e : r.ListView2)
        for (const LedgerText &c : e)
            sink(c);
    sink(ends[3]);

    sink(starts[4]);
    for (int n : kPage4Edits)
        sink(r.edit[size_t(n)]);
    sink(ends[4]);

    sink(starts[5]);
    sink(textrules::formatDate(r.DateTimePicker3));
    for (int n : kPage5Edits)
        sink(r.edit[size_t(n)]);
    sink(r.ComboBox1);
    sink(ends[5]);

    sink(starts[6]);
    // The comment field's last line is empty when its text ends with a line break; that line
    // is not written.
    qsizetype memoLines = r.Memo1.size();
    if (memoLines > 0 && r.Memo1.last().isEmpty())
        --memoLines;
    for (qsizetype i = 0; i < memoLines; ++i)
        sink(r.Memo1.at(i));
    sink(ends[6]);

    sink(starts[7]);
    sink(r.Image1);
    sink(ends[7]);

    sink(starts[8]);
    for (const ParkingEntry &e : r.ListView3)
        for (const LedgerText &c : e)
            sink(c);
    sink(ends[8]);
}

QString createError(const QString &path)
{
    return QStringLiteral("Ne peut créer le fichier %1").arg(path);
}

SyncFunction g_sync = nullptr;

// A file system that cannot sync at all is no failure.
bool synced(int rc)
{
    return rc == 0 || errno == EINVAL || errno == ENOSYS || errno == ENOTSUP;
}

// QSaveFile::commit() syncs as well but ignores a failure. A sync that fails means the new
// bytes may never reach the disk: the old file must stay.
bool syncToDisk(QSaveFile &f)
{
    if (!f.flush())
        return false;
    return synced(g_sync ? g_sync(f.handle()) : ::fdatasync(f.handle()));
}

// The rename lives in the folder: until the folder is synced, a power cut may bring the old
// file back. A folder that cannot be opened for reading cannot be synced by us either.
bool syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool ok = synced(g_sync ? g_sync(fd) : ::fsync(fd));
    ::close(fd);
    return ok;
}

// Puts the written file in the old one's place, or drops it. `hash` is that of the bytes
// written; `identity` gets the new file's.
bool commit(QSaveFile &f, quint64 hash, filestate::Identity &identity)
{
    if (!syncToDisk(f)) {
        f.cancelWriting();
        return false;
    }
    // Taken before the rename, which changes neither the inode nor the time stamp.
    identity = filestate::identityOf(int(f.handle()), f.fileName(), hash);
    return f.commit() && syncFolderOf(f.fileName());
}

} // namespace

QByteArray encodeText(QStringView text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    appendEncoded(out, text);
    return QByteArray(out.data(), qsizetype(out.size()));
}

QStringList writeLines(const VehicleRecord &r)
{
    QStringList lines;
    lines.reserve(qsizetype(41 + r.ListView1.size() * 5 + r.ListView2.size() * 4
                            + r.ListView3.size() * 3) + r.Memo1.size());
    emitLines(r, [&lines](const auto &s) {
        if constexpr (std::is_same_v<std::decay_t<decltype(s)>, LedgerText>)
            lines.append(s.toString());
        else
            lines.append(s);
    });
    return lines;
}

QByteArray encode(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(size_t(total));
    for (const QString &l : lines) {
        appendEncoded(out, l);
        out.append("\r\n", 2);
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

SaveResult writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    filestate::ContentHash hash;
    hash.add(bytes.constData(), bytes.size());
    SaveResult res;
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !commit(f, hash.result(), res.identity))
        return {false, createError(path), {}};
    return res;
}

SaveResult save(const VehicleRecord &r, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {false, createError(path), {}};
    // Encoded a buffer at a time: a large document is never held twice in memory.
    constexpr size_t kChunk = 1 << 16;
    std::string buf;
    buf.reserve(kChunk + 4096);
    bool ok = true;
    filestate::ContentHash hash;
    auto flush = [&] {
        hash.add(buf.data(), qsizetype(buf.size()));
        if (ok && !buf.empty())
            ok = f.write(buf.data(), qint64(buf.size())) == qint64(buf.size());
        buf.clear();
    };
    emitLines(r, [&](const auto &s) {
        if constexpr (std::is_same_v<std::decay_t<decltype(s)>, LedgerText>)
            s.appendEncoded(buf);
        else
            appendEncoded(buf, s);
        buf.append("\r\n", 2);
        if (buf.size() >= kChunk)
            flush();
    });
    flush();
    SaveResult res;
    if (!ok || !commit(f, hash.result(), res.identity))
        return {false, createError(path), {}};
    return res;
}

QString unnameableError(const QString &name)
{
    return QStringLiteral("Nom de fichier illisible : %1 (il n'est pas en UTF-8)").arg(name);
}

QString withVtrExtension(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? path.left(dot) : path;
    return base + QStringLiteral(".vtr");
}

void setSyncForTests(SyncFunction sync) { g_sync = sync; }

} // namespace vtrfile
