#include "core/vehicle/filestate.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

#include <xxhash.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filestate {

namespace {

// Time stamps of some file systems are as coarse as 2 s: a file written less than that before
// its identity was taken may change again without its time stamp showing it.
constexpr qint64 kTimeStampSlackNs = 2'000'000'000;

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

qint64 mtimeOf(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

Identity fromStat(const struct stat &st, const QString &path, quint64 hash)
{
    Identity id;
    id.known = true;
    id.exists = true;
    id.path = path;
    id.size = qint64(st.st_size);
    id.mtimeNs = mtimeOf(st);
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.hash = hash;
    id.takenNs = nowNs();
    return id;
}

// The hash of what `fd` holds from its current offset on; false when it cannot be read.
bool hashAll(int fd, quint64 &hash)
{
    ContentHash h;
    std::vector<char> buffer(std::size_t(1) << 18);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        h.add(buffer.data(), qsizetype(got));
    }
    hash = h.result();
    return true;
}

} // namespace

namespace {
void freeState(XXH3_state_s *state)
{
    XXH3_freeState(state);
}
} // namespace

ContentHash::ContentHash() : m_state(XXH3_createState(), freeState)
{
    if (!m_state)
        throw std::bad_alloc();
    XXH3_64bits_reset(m_state.get());
}

ContentHash::~ContentHash() = default;

void ContentHash::add(const char *data, qsizetype size)
{
    if (size > 0)
        XXH3_64bits_update(m_state.get(), data, std::size_t(size));
}

quint64 ContentHash::result() const
{
    return XXH3_64bits_digest(m_state.get());
}

Identity identityOf(int fd, const QString &path, quint64 hash)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return absent(path);
    return fromStat(st, path, hash);
}

Identity absent(const QString &path)
{
    Identity id;
    id.known = true;
    id.path = path;
    id.takenNs = nowNs();
    return id;
}

Identity identify(const QString &path)
{
    const int fd = openRegular(path);
    if (fd < 0) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return absent(path);
        // There, but nothing we read: its identity cannot match any file we wrote.
        Identity id = fromStat(st, path, 0);
        id.size = -1;
        return id;
    }
    quint64 hash = 0;
    const bool read = hashAll(fd, hash);
    Identity id = identityOf(fd, path, hash);
    ::close(fd);
    if (!read)
        id.size = -1;
    return id;
}

Outside compare(const Identity &known, Identity *now)
{
    struct stat st {};
    if (::stat(QFile::encodeName(known.path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Outside::Gone : Outside::Changed;
    if (!known.exists || !S_ISREG(st.st_mode) || qint64(st.st_size) != known.size)
        return Outside::Changed;
    const bool sameStamp = mtimeOf(st) == known.mtimeNs && quint64(st.st_ino) == known.inode
                           && quint64(st.st_dev) == known.device;
    if (sameStamp && known.mtimeNs + kTimeStampSlackNs < known.takenNs)
        return Outside::Same;
    const Identity current = identify(known.path);
    if (current.size != known.size || current.hash != known.hash)
        return Outside::Changed;
    if (now)
        *now = current;
    return Outside::Same;
}

QString toText(const Identity &id)
{
    if (!id.known)
        return QString();
    if (!id.exists)
        return QStringLiteral("absent");
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(id.size)
        .arg(id.mtimeNs)
        .arg(id.device)
        .arg(id.inode)
        .arg(id.hash, 16, 16, QLatin1Char('0'))
        .arg(id.takenNs);
}

Identity fromText(const QString &path, const QString &text)
{
    if (text == QLatin1String("absent"))
        return absent(path);
    const QStringList parts = text.split(QLatin1Char(' '));
    Identity id;
    if (parts.size() != 6)
        return id;
    bool ok[6] = {};
    id.size = parts[0].toLongLong(&ok[0]);
    id.mtimeNs = parts[1].toLongLong(&ok[1]);
    id.device = parts[2].toULongLong(&ok[2]);
    id.inode = parts[3].toULongLong(&ok[3]);
    id.hash = parts[4].toULongLong(&ok[4], 16);
    id.takenNs = parts[5].toLongLong(&ok[5]);
    for (bool b : ok)
        if (!b)
            return Identity();
    id.known = true;
    id.exists = true;
    id.path = path;
    return id;
}

int openRegular(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool isReadableRegular(const QString &path)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace filestate
