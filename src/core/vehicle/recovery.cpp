#include "core/vehicle/recovery.h"

#include "core/vehicle/vtrfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#include <algorithm>

#include <unistd.h>

namespace recovery {

namespace {

const QString kLockName = QStringLiteral("lock");

// Unsaved work is private: the folders are the user's alone.
bool makePrivateFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A lock taken by a program that is no longer running is stale whatever its age; a lock of a
// running program never is (QLockFile also holds it with flock, which ends with the process).
std::unique_ptr<QLockFile> lockIn(const QString &dir)
{
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(kLockName));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == QLatin1Char('n') ? QChar(u'\n') : next == QLatin1Char('r') ? QChar(u'\r') : next;
    }
    return out;
}

QString copyPath(const QString &dir, int slot, const char *suffix)
{
    return QDir(dir).filePath(QString::number(slot) + QLatin1String(suffix));
}

// The copy as it was written: every line, the picture name too (the picture itself is looked
// for when the copy is opened).
bool loadCopy(const QString &vtr, Copy &copy)
{
    vtrfile::PictureHook keepName;
    keepName.exists = [](const QString &) { return true; };
    keepName.load = [](const QString &) { return QString(); };
    copy.record = VehicleRecord::create(QDate());
    if (!vtrfile::load(copy.record, vtr, keepName, vtrfile::Opening::RegularOnly).ok)
        return false;
    QFile txt(vtr.chopped(4) + QStringLiteral(".txt"));
    if (txt.open(QIODevice::ReadOnly))
        copy.info = parseInfo(QString::fromUtf8(txt.readAll()));
    copy.record.fileName = copy.info.fileName;
    copy.record.modified = true;
    return true;
}

} // namespace

QString folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tevauto/recovery");
}

QString infoText(const CopyInfo &info)
{
    QString out;
    out += QStringLiteral("caption=") + escaped(info.caption) + QLatin1Char('\n');
    out += QStringLiteral("file=") + escaped(info.fileName) + QLatin1Char('\n');
    if (!info.partial.isEmpty())
        out += QStringLiteral("partial=") + info.partial + QLatin1Char('\n');
    if (info.identity.known)
        out += QStringLiteral("identity=") + filestate::toText(info.identity) + QLatin1Char('\n');
    return out;
}

CopyInfo parseInfo(const QString &text)
{
    CopyInfo info;
    QString identity;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QStringView key = line.left(eq);
        const QString value = unescaped(line.mid(eq + 1));
        if (key == u"caption")
            info.caption = value;
        else if (key == u"file")
            info.fileName = value;
        else if (key == u"partial")
            info.partial = value;
        else if (key == u"identity")
            identity = value;
    }
    if (!identity.isEmpty() && !info.fileName.isEmpty())
        info.identity = filestate::fromText(info.fileName, identity);
    return info;
}

// ---- Session ------------------------------------------------------------------------------

Session::Session(const QString &root) : m_root(root) {}

Session::~Session() = default;

bool Session::open()
{
    if (m_lock)
        return true;
    if (!makePrivateFolder(m_root))
        return false;
    const QString name = QStringLiteral("%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QString dir = QDir(m_root).filePath(name);
    if (!makePrivateFolder(dir))
        return false;
    m_lock = lockIn(dir);
    if (!m_lock) {
        QDir(dir).removeRecursively();
        return false;
    }
    m_dir = dir;
    return true;
}

bool Session::write(int slot, const VehicleRecord &record, const CopyInfo &info)
{
    if (!open())
        return false;
    // The record first: a text file always has its copy beside it.
    return vtrfile::save(record, copyPath(m_dir, slot, ".vtr")).ok
           && vtrfile::writeAtomically(copyPath(m_dir, slot, ".txt"), infoText(info).toUtf8()).ok;
}

void Session::remove(int slot)
{
    if (!m_lock)
        return;
    QFile::remove(copyPath(m_dir, slot, ".txt"));
    QFile::remove(copyPath(m_dir, slot, ".vtr"));
    closeIfEmpty();
}

void Session::closeIfEmpty()
{
    if (!QDir(m_dir).entryList({QStringLiteral("*.vtr")}, QDir::Files).isEmpty())
        return;
    removeAll();
}

void Session::removeAll()
{
    if (!m_lock)
        return;
    m_lock.reset(); // takes the lock file away
    QDir(m_dir).removeRecursively();
    m_dir.clear();
}

// ---- Orphans ------------------------------------------------------------------------------

std::unique_ptr<Orphans> Orphans::find(const QString &root)
{
    std::unique_ptr<Orphans> found(new Orphans);
    const QDir top(root);
    for (const QString &name : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString dir = top.filePath(name);
        std::unique_ptr<QLockFile> lock = lockIn(dir);
        if (!lock)
            continue; // its program is running
        QStringList vtrs = QDir(dir).entryList({QStringLiteral("*.vtr")}, QDir::Files);
        std::sort(vtrs.begin(), vtrs.end(), [](const QString &a, const QString &b) {
            return a.chopped(4).toInt() < b.chopped(4).toInt();
        });
        int kept = 0;
        for (const QString &vtr : std::as_const(vtrs)) {
            Copy copy;
            if (loadCopy(QDir(dir).filePath(vtr), copy)) {
                found->m_copies << copy;
                ++kept;
            }
        }
        if (kept == 0 && vtrs.isEmpty()) {
            // Nothing left to offer: a folder from an interrupted clean-up.
            lock.reset();
            QDir(dir).removeRecursively();
            continue;
        }
        found->m_held.push_back({dir, std::move(lock)});
    }
    return found;
}

Orphans::~Orphans()
{
    release();
}

void Orphans::discard()
{
    for (Held &h : m_held) {
        h.lock.reset();
        QDir(h.dir).removeRecursively();
    }
    m_held.clear();
    m_copies.clear();
}

void Orphans::release()
{
    m_held.clear();
    m_copies.clear();
}

} // namespace recovery
