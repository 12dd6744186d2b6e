#pragma once
// Copies of unsaved documents, kept so that a program that stops without saving (killed, out of
// battery, shut down) loses nothing: $XDG_STATE_HOME/tevauto/recovery/ (by default
// ~/.local/state/tevauto/recovery/). Each running program has a folder of its own there,
// locked while it runs; a folder whose program is gone holds copies to offer at the next start.
// Each copy is a vehicle file N.vtr beside a small text file N.txt (caption, original file).

#include "core/vehicle/filestate.h"
#include "core/vehicle/record.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;

namespace recovery {

// The recovery folder, from the environment.
QString folder();

struct CopyInfo {
    QString caption;  // the window's caption
    QString fileName; // the document's file, empty for a document never saved
    QString partial;  // why its first save asks for a name: "incomplete", "notvehicle" or empty
    filestate::Identity identity; // what its file was when the document read or wrote it
};

// The text file beside a copy, and back.
QString infoText(const CopyInfo &info);
CopyInfo parseInfo(const QString &text);

// This program's copies. Its folder and lock come with the first copy and go with the last, so
// that the recovery folder only ever holds unsaved work. Not thread-safe: one thread uses it.
class Session {
public:
    explicit Session(const QString &root = folder());
    ~Session(); // the lock goes; the copies stay (a program ending on a signal keeps them)
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Writes the copy `slot` with the program's atomic writer; false when it could not.
    bool write(int slot, const VehicleRecord &record, const CopyInfo &info);
    void remove(int slot);
    // Every copy, the folder and the lock: the program ends normally.
    void removeAll();
    QString path() const { return m_dir; }

private:
    bool open();
    void closeIfEmpty();

    QString m_root;
    QString m_dir;
    std::unique_ptr<QLockFile> m_lock;
};

struct Copy {
    VehicleRecord record; // modified, with the original file name
    CopyInfo info;
};

// The copies of programs that are no longer running. Their folders stay locked by this program
// until discard() or release(), so that two programs started at once do not both take them.
class Orphans {
public:
    static std::unique_ptr<Orphans> find(const QString &root = folder());
    ~Orphans();

    const QList<Copy> &copies() const { return m_copies; }
    // Deletes the copies and their folders.
    void discard();
    // Leaves them for the next start.
    void release();

private:
    Orphans() = default;
    struct Held {
        QString dir;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Held> m_held;
    QList<Copy> m_copies;
};

} // namespace recovery
