#pragma once
// The vehicle file (".vtr"): eight sections, Windows-1252, CR LF.

#include "core/vehicle/filestate.h"
#include "core/vehicle/record.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>

namespace vtrfile {

// The Edit fields that sections 4 and 5 hold, in the order of their lines.
inline constexpr std::array<int, 11> kPage4Edits{5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17};
inline constexpr std::array<int, 4> kPage5Edits{19, 20, 21, 22};

// The lines of the file, section by section, for a record.
QStringList writeLines(const VehicleRecord &r);

// Encodes lines as Windows-1252 with CR LF after every line, the last included.
QByteArray encode(const QStringList &lines);

// Writes the record to `path` atomically, then syncs the folder so that the new name lasts. On
// failure returns the error text ("Ne peut créer le fichier %s") and leaves any previous file
// intact; a failure of the folder's sync is reported too, though the new file is then in place.
struct SaveResult {
    bool ok = true;
    QString error;
    filestate::Identity identity; // of the file written
};
SaveResult save(const VehicleRecord &r, const QString &path);

// Gives a file name the ".vtr" extension: auto -> auto.vtr, auto.txt -> auto.vtr.
QString withVtrExtension(const QString &path);

// The message for a file name that cannot be given back exactly (one that is not UTF-8): such
// a file is neither read nor written, rather than another one of a similar name.
QString unnameableError(const QString &name);

// Windows-1252 both ways, the five bytes the code page leaves undefined standing for the C1
// controls of the same value (so any byte survives a read and a write). A character the code
// page cannot hold is written as '?'.
QByteArray encodeText(QStringView text);
QString decodeText(QByteArrayView bytes);

// Writes bytes to `path` atomically (temporary file, then rename); on failure returns
// "Ne peut créer le fichier %s" and leaves any previous file intact.
SaveResult writeAtomically(const QString &path, const QByteArray &bytes);

// The call that flushes a written file to the disk before it takes the old one's place
// (fdatasync), and its folder once it has (fsync on the folder's descriptor). Tests put a
// failing one there; nullptr restores the real one.
using SyncFunction = int (*)(int fd);
void setSyncForTests(SyncFunction sync);

// Splits file bytes into lines: CR LF, lone CR or lone LF end a line; the text ends at the first
// NUL byte. Decodes Windows-1252.
QStringList decodeLines(const QByteArray &bytes);

// Called while loading for a non-empty picture name of section 7. It answers whether the file
// exists (the name taken relative to the current directory) and, when it does, loads it:
// returning a non-empty error text stops the load with that message.
struct PictureHook {
    std::function<bool(const QString &name)> exists;
    std::function<QString(const QString &name)> load; // error text, empty when loaded
};

// A hook that checks by name and extension only, for tools that do not decode pictures. The
// name is looked up in `folder` (the current directory when empty).
PictureHook nameOnlyPictureHook(const QString &folder = QString());

struct LoadResult {
    bool ok = true;
    QString error;
    // The file had bytes but not one section marker: not a vehicle file (read as an empty one).
    bool noSection = false;
    filestate::Identity identity; // of the file read (from a path only)
};

// What load() agrees to open: any file (a pipe is read to its end), or only a regular file, so
// that a FIFO or a device never keeps the caller waiting ("Ne peut ouvrir le fichier %s").
enum class Opening { AnyFile, RegularOnly };

// Reads `path` into `r` (a freshly created record): sets r.fileName first; what was read before
// an error stays in the record. On success clears the modified flag. The computed fields keep
// the texts the file gave: whoever shows or reports the record runs the calculations
// (computeAll) after a successful load.
LoadResult load(VehicleRecord &r, const QString &path, const PictureHook &pictures,
                Opening opening = Opening::AnyFile);

// The same, from bytes already read (for fuzzing and tests).
LoadResult loadBytes(VehicleRecord &r, const QByteArray &bytes, const PictureHook &pictures);

// The same, streamed from an open device (a file is read this way, so that a large one is never
// held whole in memory beside its record). A pipe or a FIFO is read to its end first. A device
// that fails while being read gives "Ne peut ouvrir le fichier %s".
LoadResult loadDevice(VehicleRecord &r, QIODevice &device, const PictureHook &pictures);

// Size of the chunks a file is read in (0: the default); small chunks let tests reach every
// line end across a chunk boundary.
void setReadChunkForTests(qsizetype bytes);

} // namespace vtrfile
