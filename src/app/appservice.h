#pragma once
// One running program, the freedesktop way: the program owns the session-bus name
// org.tevauto.TevAuto and serves org.freedesktop.Application (Activate, Open, ActivateAction)
// at /org/tevauto/TevAuto. A program started while another owns the name hands its files over
// and ends. Without a session bus each program runs on its own, as before.
//
// Beside it, org.tevauto.TevAuto.Documents() lists the captions of the open document windows,
// for scripts and the tests.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class TMainForm;

class AppService : public QObject {
    Q_OBJECT
public:
    static const QString kName;
    static const QString kPath;

    explicit AppService(QObject *parent = nullptr);
    ~AppService() override;

    enum class Start {
        Serving,   // this program owns the name
        Alone,     // no bus, or the name is taken and this one was asked to run anyway
        HandedOver // a running program took the files: this one ends
    };
    // Before any window exists. `files` as named on the command line.
    Start start(const QStringList &files, bool newInstance);

    // Requests that came before the frame existed are served once it does.
    void setFrame(TMainForm *frame);

    // The operations as the bus calls them; each returns at once, the work is done from the
    // event loop (a file that fails to load shows its error box there, not in a bus call).
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &name, const QVariantList &parameter, const QVariantMap &platformData);
    QStringList Documents() const;

    // What a local file name becomes in an Open call: an absolute file:// URI.
    static QString uriOf(const QString &file);
    // Whether the environment names a session bus; without one no connection is tried (the
    // bus library would otherwise start a bus of its own for an X display).
    static bool sessionBusNamed();

private:
    void serve();
    void bringToFront();

    QPointer<TMainForm> m_frame;
    QStringList m_files;   // waiting to be opened
    QStringList m_actions; // waiting to be run
    bool m_activate = false;
    bool m_scheduled = false;
    bool m_registered = false;
};
