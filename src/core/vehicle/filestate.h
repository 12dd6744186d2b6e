#pragma once
// What a file was when a document read or wrote it, to tell later whether someone else has
// changed it since; and opening only regular files, so that a FIFO or a device never makes the
// program wait.

#include <QString>
#include <QtGlobal>

#include <memory>

struct XXH3_state_s;

namespace filestate {

// A hash of a file's bytes, fed as they are read or written, in pieces of any size: the result
// depends on the bytes only, the same in every run of every program (the recovery copies keep
// it). XXH3, 64 bits: several GB/s, so it is taken on the way; not a cryptographic digest.
// Identities written before by another scheme simply never match, which reads as "changed".
class ContentHash {
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash &) = delete;
    ContentHash &operator=(const ContentHash &) = delete;
    void add(const char *data, qsizetype size);
    quint64 result() const;

private:
    std::unique_ptr<XXH3_state_s, void (*)(XXH3_state_s *)> m_state;
};

struct Identity {
    bool known = false;  // taken at all (a new document has none)
    bool exists = false; // the file was there
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    quint64 hash = 0;
    qint64 takenNs = 0; // when it was taken (real time): a change within the file system's
                        // time stamp resolution of it cannot be told by the time stamp
};

// The identity of the open file `fd` (what it holds now), with the hash of its bytes.
Identity identityOf(int fd, const QString &path, quint64 hash);
// A file that was not there.
Identity absent(const QString &path);
// Reads the whole file at `path` and takes its identity; absent when there is none.
Identity identify(const QString &path);

// Whether the file at known.path is still what `known` describes. Cheap when its size, time
// stamp and inode are the same (and not too recent to tell); otherwise its bytes are hashed, so
// that a file touched or rewritten with the same bytes counts as the same; `now` then gets the
// file's present identity, which is cheap to compare again.
enum class Outside { Same, Changed, Gone };
Outside compare(const Identity &known, Identity *now = nullptr);

// One line of text, and back (the recovery copies keep the identity of their original file).
QString toText(const Identity &id);
Identity fromText(const QString &path, const QString &text);

// Opens a regular file for reading without ever waiting: a FIFO, a device, a socket or a folder
// is refused at once. Returns the descriptor (blocking reads, close-on-exec), or -1.
int openRegular(const QString &path);
// openRegular() and close: whether the program may read the file.
bool isReadableRegular(const QString &path);

} // namespace filestate
