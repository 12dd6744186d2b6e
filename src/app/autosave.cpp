#include "app/autosave.h"

#include "app/TMainForm.h"
#include "app/endsignals.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {
int g_afterChangeMs = 2000;
int g_betweenLargeMs = 10000;
std::function<void()> g_end;

QString partialName(TMDIChild::Partial p)
{
    switch (p) {
    case TMDIChild::Partial::Incomplete: return QStringLiteral("incomplete");
    case TMDIChild::Partial::NotVehicle: return QStringLiteral("notvehicle");
    case TMDIChild::Partial::None: break;
    }
    return QString();
}

TMDIChild::Partial partialOf(const QString &name)
{
    if (name == QLatin1String("incomplete"))
        return TMDIChild::Partial::Incomplete;
    if (name == QLatin1String("notvehicle"))
        return TMDIChild::Partial::NotVehicle;
    return TMDIChild::Partial::None;
}

bool isLarge(const TMDIChild *child)
{
    const VehicleRecord &r = child->record();
    return r.ListView1.size() + r.ListView2.size() + r.ListView3.size() >= AutoSave::kLargeEntries;
}
} // namespace

AutoSave::AutoSave(TMainForm *frame, const QString &root)
    : m_frame(frame), m_root(root), m_writer(new QObject), m_session(std::make_unique<recovery::Session>(root))
{
    setObjectName(QStringLiteral("AutoSave"));
    m_clock.start();
    m_thread.setObjectName(QStringLiteral("RecoveryCopies"));
    m_writer->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
    connect(frame, &TMainForm::documentCreated, this, &AutoSave::track);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AutoSave::quitting);
}

AutoSave::~AutoSave()
{
    for (auto &[child, doc] : m_docs) {
        doc.timer->stop();
        stopTaking(doc);
    }
    waitForWriter();
    m_thread.quit();
    m_thread.wait();
    delete m_writer;
}

void AutoSave::setDelaysForTests(int afterChange, int betweenLargeCopies)
{
    g_afterChangeMs = afterChange > 0 ? afterChange : 2000;
    g_betweenLargeMs = betweenLargeCopies > 0 ? betweenLargeCopies : 10000;
}

void AutoSave::setEndForTests(std::function<void()> end)
{
    g_end = std::move(end);
}

void AutoSave::post(std::function<void(recovery::Session &)> job)
{
    recovery::Session *session = m_session.get();
    QMetaObject::invokeMethod(m_writer, [session, job = std::move(job)] { job(*session); }, Qt::QueuedConnection);
}

void AutoSave::waitForWriter()
{
    // The writer takes its jobs in order: once this one has run, so have all before it.
    QMetaObject::invokeMethod(m_writer, [] {}, Qt::BlockingQueuedConnection);
}

// ---- Documents ----------------------------------------------------------------------------

void AutoSave::track(TMDIChild *child)
{
    Doc doc;
    doc.slot = m_nextSlot++;
    doc.timer = new QTimer(this);
    doc.timer->setSingleShot(true);
    connect(doc.timer, &QTimer::timeout, this, [this, child] { writeNow(child); });
    doc.slicer = new QTimer(this);
    connect(doc.slicer, &QTimer::timeout, this, [this, child] { takeSlice(child); });
    // Looked at later: a change made while the window is being destroyed finds it gone.
    connect(
        child, &TMDIChild::documentChanged, this,
        [this, window = QPointer<TMDIChild>(child)] {
            if (window)
                evaluate(window);
        },
        Qt::QueuedConnection);
    connect(child, &QObject::destroyed, this, [this, child] { forget(child); });
    m_docs.emplace(child, doc);
}

void AutoSave::evaluate(TMDIChild *child)
{
    const auto it = m_docs.find(child);
    if (it == m_docs.end())
        return;
    Doc &doc = it->second;
    if (child->hasUnsavedChanges()) {
        doc.dirty = true;
        // Changes coming while a copy waits go into that copy: at most the last two seconds
        // of typing are ever missing from it.
        if (!doc.inFlight && !doc.timer->isActive())
            arm(child, doc);
        return;
    }
    // Saved: the copy is of no use any more.
    doc.timer->stop();
    doc.dirty = false;
    if (doc.hasCopy) {
        doc.hasCopy = false;
        post([slot = doc.slot](recovery::Session &s) { s.remove(slot); });
    }
}

void AutoSave::arm(TMDIChild *child, Doc &doc)
{
    qint64 delay = g_afterChangeMs;
    if (doc.lastCopyMs >= 0 && isLarge(child))
        delay = std::max(delay, doc.lastCopyMs + g_betweenLargeMs - m_clock.elapsed());
    doc.timer->start(int(delay));
}

void AutoSave::writeNow(TMDIChild *child, bool atOnce)
{
    const auto it = m_docs.find(child);
    if (it == m_docs.end())
        return;
    Doc &doc = it->second;
    stopTaking(doc);
    if (!child->hasUnsavedChanges()) {
        evaluate(child);
        return;
    }
    doc.timer->stop();
    doc.inFlight = true;
    doc.lastCopyMs = m_clock.elapsed();
    if (atOnce || !isLarge(child)) {
        writeCopy(child, doc, child->recoverySnapshot());
        return;
    }
    // Copying a few hundred thousand entries at once would stop the typing for a moment that
    // shows (the texts are shared, but each one's count is touched): a slice per turn of the
    // event loop instead.
    doc.taking = std::make_shared<Taking>();
    doc.taking->changes = child->ledgerChanges();
    doc.slicer->start(0);
}

void AutoSave::stopTaking(Doc &doc)
{
    if (!doc.taking)
        return;
    doc.slicer->stop();
    doc.taking.reset();
    doc.inFlight = false;
}

void AutoSave::takeSlice(TMDIChild *child)
{
    const auto it = m_docs.find(child);
    if (it == m_docs.end())
        return;
    Doc &doc = it->second;
    if (!doc.taking)
        return;
    if (!child->hasUnsavedChanges()) {
        stopTaking(doc);
        evaluate(child);
        return;
    }
    Taking &t = *doc.taking;
    const VehicleRecord &r = child->record();
    if (t.changes != child->ledgerChanges()) {
        t = Taking();
        t.changes = child->ledgerChanges();
    }
    const auto copySlice = [&t](const auto &from, auto &to) {
        if (t.next == 0)
            to.reserve(from.size());
        const std::size_t n = std::min(kSliceEntries, from.size() - t.next);
        to.insert(to.end(), from.begin() + std::ptrdiff_t(t.next), from.begin() + std::ptrdiff_t(t.next + n));
        t.next += n;
        if (t.next == from.size()) {
            ++t.ledger;
            t.next = 0;
        }
    };
    switch (t.ledger) {
    case 0: copySlice(r.ListView1, t.record.ListView1); break;
    case 1: copySlice(r.ListView2, t.record.ListView2); break;
    case 2: copySlice(r.ListView3, t.record.ListView3); break;
    default: break;
    }
    if (t.ledger < 3)
        return;
    // The ledgers did not change while they were copied: with the fields taken now, the copy is
    // the record as it is at this moment.
    VehicleRecord snapshot = child->recoveryFields();
    snapshot.ListView1 = std::move(t.record.ListView1);
    snapshot.ListView2 = std::move(t.record.ListView2);
    snapshot.ListView3 = std::move(t.record.ListView3);
    doc.slicer->stop();
    doc.taking.reset();
    writeCopy(child, doc, std::move(snapshot));
}

void AutoSave::writeCopy(TMDIChild *child, Doc &doc, VehicleRecord &&snapshot)
{
    // The snapshot shares the record's texts; the copy is encoded and written on the writer's
    // thread while the window goes on.
    auto record = std::make_shared<const VehicleRecord>(std::move(snapshot));
    recovery::CopyInfo info;
    info.caption = child->windowTitle();
    info.fileName = child->fileName();
    info.partial = partialName(child->partialState());
    info.identity = child->fileIdentity();
    doc.dirty = false;
    doc.inFlight = true;
    doc.hasCopy = true;
    post([this, slot = doc.slot, record, info](recovery::Session &s) {
        s.write(slot, *record, info);
        QMetaObject::invokeMethod(this, [this, slot] { written(slot); }, Qt::QueuedConnection);
    });
}

void AutoSave::written(int slot)
{
    for (auto &[child, doc] : m_docs) {
        if (doc.slot != slot)
            continue;
        doc.inFlight = false;
        if (doc.dirty && !doc.timer->isActive())
            arm(child, doc);
        return;
    }
}

void AutoSave::forget(TMDIChild *child)
{
    const auto it = m_docs.find(child);
    if (it == m_docs.end())
        return;
    const Doc doc = it->second;
    m_docs.erase(it);
    delete doc.timer;
    delete doc.slicer;
    // A window closed: saved, or its changes given up. Ending on a signal keeps them.
    if (doc.hasCopy && !m_keepCopies)
        post([slot = doc.slot](recovery::Session &s) { s.remove(slot); });
}

void AutoSave::flush()
{
    for (auto &[child, doc] : m_docs)
        if (child->hasUnsavedChanges() && (doc.dirty || doc.taking || !doc.hasCopy))
            writeNow(child, true);
    waitForWriter();
}

void AutoSave::quitting()
{
    if (m_keepCopies)
        return;
    // Every document agreed to close: whatever it had unsaved was given up or saved.
    for (auto &[child, doc] : m_docs) {
        doc.timer->stop();
        stopTaking(doc);
        doc.hasCopy = false;
    }
    post([](recovery::Session &s) { s.removeAll(); });
    waitForWriter();
}

// ---- Signals ------------------------------------------------------------------------------

void AutoSave::endOnSignals()
{
    endsignals::install(this, [this] { endNow(); });
}

void AutoSave::endNow()
{
    m_keepCopies = true;
    flush();
    if (g_end)
        g_end();
    else
        QCoreApplication::exit(0);
}

// ---- At start -----------------------------------------------------------------------------

namespace {
// Calls back once, when the frame is first the active window: the question then opens over the
// frame the window manager has placed, not over where it was first mapped.
class FirstActivation : public QObject {
public:
    FirstActivation(QWidget *frame, std::function<void()> then) : QObject(frame), m_then(std::move(then))
    {
        frame->installEventFilter(this);
        // A window manager that never activates the frame still gets the question.
        QTimer::singleShot(3000, this, [this] { fire(); });
    }
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::ActivationChange && static_cast<QWidget *>(watched)->isActiveWindow())
            QTimer::singleShot(0, this, [this] { fire(); });
        return false;
    }

private:
    void fire()
    {
        if (!m_then)
            return;
        const std::function<void()> then = std::move(m_then);
        m_then = nullptr;
        deleteLater();
        then();
    }
    std::function<void()> m_then;
};
} // namespace

void AutoSave::offerAtStart()
{
    if (m_frame->isActiveWindow())
        QTimer::singleShot(0, this, &AutoSave::offerRecovery);
    else
        new FirstActivation(m_frame, [this] { offerRecovery(); });
}

void AutoSave::offerRecovery()
{
    std::shared_ptr<recovery::Orphans> orphans = recovery::Orphans::find(m_root);
    const QList<recovery::Copy> copies = orphans->copies();
    if (copies.isEmpty()) {
        orphans->discard(); // folders of unreadable copies only
        return;
    }
    // The documents are named, so that the user knows what the answer is about.
    QString names;
    constexpr qsizetype kNamed = 10;
    for (qsizetype i = 0; i < copies.size() && i < kNamed; ++i) {
        const recovery::CopyInfo &info = copies[i].info;
        const QString caption = !info.caption.isEmpty()    ? info.caption
                                : !info.fileName.isEmpty() ? info.fileName
                                                           : QStringLiteral("(sans nom)");
        names += QStringLiteral("\n    ") + caption;
    }
    if (copies.size() > kNamed)
        names += QStringLiteral("\n    et %1 autres").arg(copies.size() - kNamed);
    const QString question =
        QStringLiteral("Tev Auto s'est arrêté sans enregistrer %1 document(s) :%2\nLes récupérer ?")
            .arg(copies.size())
            .arg(names);
    switch (platform::Messages::askYesNoOrClose(m_frame, QStringLiteral("Avertissement"), question)) {
    case platform::Messages::Yes: break;
    case platform::Messages::No: orphans->discard(); return;
    case platform::Messages::Cancel: orphans->release(); return;
    }
    for (const recovery::Copy &copy : copies) {
        QString caption = copy.info.caption;
        if (caption.isEmpty())
            caption = copy.info.fileName.isEmpty() ? QStringLiteral("VOITURE%1").arg(m_frame->documentCount() + 1)
                                                   : copy.info.fileName;
        TMDIChild *child = m_frame->CreateChild(caption);
        const QString pictures =
            copy.info.fileName.isEmpty() ? QDir::currentPath() : QFileInfo(copy.info.fileName).absolutePath();
        child->restore(copy.record, copy.info.identity, partialOf(copy.info.partial), pictures);
        writeNow(child);
    }
    // Their new copies are written first: at no moment is there none.
    post([orphans](recovery::Session &) { orphans->discard(); });
}
