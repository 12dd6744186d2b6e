#include "app/appservice.h"

#include "app/TMainForm.h"
#include "app/commandline.h"

#include <QAction>
#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QUrl>

#include <utility>

const QString AppService::kName = QStringLiteral("org.tevauto.TevAuto");
const QString AppService::kPath = QStringLiteral("/org/tevauto/TevAuto");

namespace {
const QString kFreedesktop = QStringLiteral("org.freedesktop.Application");

// A modal window of the running program is answered first: what came meanwhile waits.
constexpr int kRetryMs = 250;
// A running program that does not answer within this is taken as gone.
constexpr int kCallTimeoutMs = 5000;

class FreedesktopAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit FreedesktopAdaptor(AppService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

public slots:
    void Activate(const QVariantMap &platformData) { m_service->Activate(platformData); }
    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        m_service->Open(uris, platformData);
    }
    void ActivateAction(const QString &name, const QVariantList &parameter, const QVariantMap &platformData)
    {
        m_service->ActivateAction(name, parameter, platformData);
    }

private:
    AppService *m_service;
};

class DocumentsAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tevauto.TevAuto")
public:
    explicit DocumentsAdaptor(AppService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

public slots:
    QStringList Documents() const { return m_service->Documents(); }

private:
    AppService *m_service;
};

// What the desktop hands on for bringing a window forward (startup notification).
QVariantMap platformData()
{
    QVariantMap data;
    const QString startup = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    if (!startup.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), startup);
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        data.insert(QStringLiteral("activation-token"), token);
    return data;
}

bool handOver(QDBusConnection &bus, const QStringList &files)
{
    QDBusMessage call;
    if (files.isEmpty()) {
        call = QDBusMessage::createMethodCall(AppService::kName, AppService::kPath, kFreedesktop,
                                              QStringLiteral("Activate"));
        call << platformData();
    } else {
        QStringList uris;
        for (const QString &f : files)
            uris << AppService::uriOf(f);
        call = QDBusMessage::createMethodCall(AppService::kName, AppService::kPath, kFreedesktop,
                                              QStringLiteral("Open"));
        call << uris << platformData();
    }
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
} // namespace

AppService::AppService(QObject *parent) : QObject(parent)
{
    new FreedesktopAdaptor(this);
    new DocumentsAdaptor(this);
}

AppService::~AppService()
{
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(kName);
        bus.unregisterObject(kPath);
    }
}

bool AppService::sessionBusNamed()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QString AppService::uriOf(const QString &file)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

AppService::Start AppService::start(const QStringList &files, bool newInstance)
{
    if (!sessionBusNamed())
        return Start::Alone;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Start::Alone;
    // The object is there before the name: a call that comes as soon as the name is ours finds
    // it (and waits in the queue until the frame exists).
    if (!bus.registerObject(kPath, this, QDBusConnection::ExportAdaptors))
        return Start::Alone;
    // Twice: a program that ends between our asking for the name and our call leaves it free.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                             QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            m_registered = true;
            return Start::Serving;
        }
        if (newInstance)
            break;
        if (handOver(bus, files)) {
            bus.unregisterObject(kPath);
            return Start::HandedOver;
        }
    }
    bus.unregisterObject(kPath);
    return Start::Alone;
}

void AppService::setFrame(TMainForm *frame)
{
    m_frame = frame;
    if (m_activate || !m_files.isEmpty() || !m_actions.isEmpty()) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &AppService::serve);
    }
}

void AppService::Activate(const QVariantMap &)
{
    m_activate = true;
    if (!m_scheduled) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &AppService::serve);
    }
}

void AppService::Open(const QStringList &uris, const QVariantMap &platformData)
{
    for (const QString &uri : uris) {
        const QUrl url(uri);
        // Only files of this computer can be opened; a bare path is taken as one.
        if (url.isLocalFile())
            m_files << url.toLocalFile();
        else if (url.scheme().isEmpty() && !uri.isEmpty())
            m_files << uri;
    }
    Activate(platformData);
}

void AppService::ActivateAction(const QString &name, const QVariantList &, const QVariantMap &platformData)
{
    m_actions << name;
    Activate(platformData);
}

QStringList AppService::Documents() const
{
    QStringList out;
    if (!m_frame)
        return out;
    for (QMdiSubWindow *sub : m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget() && !sub->isHidden())
            out << sub->widget()->windowTitle();
    return out;
}

void AppService::serve()
{
    m_scheduled = false;
    if (!m_frame)
        return;
    bringToFront();
    // A modal window (a dialog, a question, a utility) is finished first.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_scheduled = true;
        QTimer::singleShot(kRetryMs, this, &AppService::serve);
        return;
    }
    m_activate = false;
    const QStringList files = std::exchange(m_files, {});
    const QStringList actions = std::exchange(m_actions, {});
    for (const QString &file : files)
        commandline::openFile(m_frame, file, true);
    for (const QString &name : actions) {
        // The frame's commands by their object names ("FileNewItem", "Calculatrice1"...).
        QAction *action = m_frame ? m_frame->findChild<QAction *>(name) : nullptr;
        if (action && action->isEnabled() && !action->menu())
            action->trigger();
    }
}

void AppService::bringToFront()
{
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = m_frame;
    if (!front)
        return;
    if (m_frame->isMinimized())
        m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    m_frame->show();
    front->raise();
    front->activateWindow();
}

#include "appservice.moc"
