#pragma once
// Crash recovery for the frame's documents: a copy of every document with unsaved changes is
// written about two seconds after a change (a large document at most every ten seconds) into
// this program's recovery folder (vehicle/recovery.h), and goes away when the document is
// saved, closed without saving, or the program ends normally. Copies left by a program that
// stopped are offered at the next start. The copies are written by a thread of their own, from
// a snapshot of the record (its texts are shared, not copied), so that typing never waits for
// the disk.

#include "core/vehicle/recovery.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <functional>
#include <map>
#include <memory>

class QTimer;
class TMainForm;
class TMDIChild;

class AutoSave : public QObject {
    Q_OBJECT
public:
    // Watches every document window the frame makes from now on.
    explicit AutoSave(TMainForm *frame, const QString &root = recovery::folder());
    // Waits for the copies being written. The copies of documents still open stay: only a
    // normal end of the program (the application quitting) removes them.
    ~AutoSave() override;

    // Offers the copies of programs that stopped without saving, now; offerAtStart() once the
    // message loop runs (the frame shown).
    void offerRecovery();
    void offerAtStart();

    // SIGTERM and SIGHUP: what is pending is written, the copies are kept, the program ends
    // without a question.
    void endOnSignals();
    void endNow();

    // Writes the copy of every document with changes not yet copied, and waits until written.
    void flush();

    // A document with at least this many entries is large; its snapshot is taken this many
    // entries at a time.
    static constexpr std::size_t kLargeEntries = 10000;
    static constexpr std::size_t kSliceEntries = 4096;
    // Delays in milliseconds (0 restores 2 s and 10 s).
    static void setDelaysForTests(int afterChange, int betweenLargeCopies);
    // Called instead of ending the application on a signal (tests).
    static void setEndForTests(std::function<void()> end);

private:
    // A snapshot of a large document's ledgers, taken a few thousand entries at a time so that
    // typing goes on in between; started again when a ledger changes before it is done.
    struct Taking {
        VehicleRecord record;
        int ledger = 0;        // 0, 1, 2: the one being copied; 3: done
        std::size_t next = 0;  // its next entry
        quint64 changes = 0;   // the ledgers' change count when the copy began
    };
    struct Doc {
        int slot = 0;
        QTimer *timer = nullptr;
        QTimer *slicer = nullptr;
        std::shared_ptr<Taking> taking;
        bool dirty = false;    // changes since the last snapshot
        bool inFlight = false; // a snapshot being taken or a copy being written
        bool hasCopy = false;
        qint64 lastCopyMs = -1;
    };

    void track(TMDIChild *child);
    void evaluate(TMDIChild *child);
    void arm(TMDIChild *child, Doc &doc);
    // Takes the snapshot (in pieces for a large document, unless `atOnce`) and writes the copy.
    void writeNow(TMDIChild *child, bool atOnce = false);
    void takeSlice(TMDIChild *child);
    void stopTaking(Doc &doc);
    void writeCopy(TMDIChild *child, Doc &doc, VehicleRecord &&snapshot);
    void written(int slot);
    void forget(TMDIChild *child);
    void quitting();
    void post(std::function<void(recovery::Session &)> job);
    void waitForWriter();

    TMainForm *m_frame;
    QString m_root;
    QThread m_thread;
    QObject *m_writer;
    std::unique_ptr<recovery::Session> m_session; // used on the writer's thread only
    std::map<TMDIChild *, Doc> m_docs;
    int m_nextSlot = 1;
    bool m_keepCopies = false;
    QElapsedTimer m_clock;
};
