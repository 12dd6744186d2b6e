#include "platform/help.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {
namespace {

bool g_testMode = false;
QStringList g_calls;
QString g_file = QStringLiteral("Tevauto.hlp");
QString g_installedFolder;

const QString kHowToScheme = QStringLiteral("aide");

QString howToHtml()
{
    return QStringLiteral(
        "<html><body>"
        "<h1>Utiliser l'aide</h1>"
        "<p>La fenêtre d'aide se compose de deux parties : à gauche, le <b>Sommaire</b> et "
        "l'<b>Index</b> ; à droite, la rubrique affichée.</p>"
        "<h2>Sommaire</h2>"
        "<p>Le sommaire présente les rubriques dans l'ordre du fichier d'aide. Cliquez sur une "
        "rubrique pour l'afficher.</p>"
        "<h2>Index</h2>"
        "<p>Tapez le début d'un mot dans la zone de recherche : la liste se limite aux mots-clés "
        "qui commencent ainsi. Appuyez sur Entrée ou double-cliquez sur un mot-clé pour afficher "
        "sa rubrique.</p>"
        "<h2>Naviguer</h2>"
        "<p>Les mots soulignés sont des liens vers d'autres rubriques. Les boutons "
        "<b>Précédent</b> et <b>Suivant</b> (ou Alt+Gauche et Alt+Droite) parcourent les "
        "rubriques déjà affichées.</p>"
        "<h2>Aide contextuelle</h2>"
        "<p>Dans Tev Auto, appuyez sur F1 pendant qu'un menu ou l'une de ses commandes est en "
        "surbrillance : l'aide s'ouvre sur la rubrique de ce menu. Ailleurs, F1 ouvre la "
        "rubrique de la fenêtre affichée, ou celle de la page d'un document.</p>"
        "<p>Échap ferme la fenêtre d'aide.</p>"
        "</body></html>");
}

QUrl urlOf(const QString &path)
{
    if (path.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

QString plainText(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QLatin1String("&amp;"), QLatin1String("&"));
    html.replace(QLatin1String("&lt;"), QLatin1String("<"));
    html.replace(QLatin1String("&gt;"), QLatin1String(">"));
    html.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    return html.simplified();
}

class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl &url) override
    {
        if (url.scheme() == kHowToScheme)
            return howToHtml();
        return QTextBrowser::loadResource(type, url);
    }
};

class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
    {
        setObjectName(QStringLiteral("HelpWindow"));
        setWindowTitle(QStringLiteral("Aide de Tev Auto"));
        resize(820, 560);

        auto *buttons = new QHBoxLayout;
        auto *contentsBtn = new QPushButton(QStringLiteral("&Sommaire"), this);
        auto *indexBtn = new QPushButton(QStringLiteral("&Index"), this);
        m_back = new QPushButton(QStringLiteral("&Précédent"), this);
        m_forward = new QPushButton(QStringLiteral("S&uivant"), this);
        for (QPushButton *b : {contentsBtn, indexBtn, m_back, m_forward}) {
            b->setAutoDefault(false);
            buttons->addWidget(b);
        }
        buttons->addStretch();

        m_tabs = new QTabWidget(this);
        m_tree = new QTreeWidget(m_tabs);
        m_tree->setObjectName(QStringLiteral("HelpContents"));
        m_tree->setHeaderHidden(true);
        m_tabs->addTab(m_tree, QStringLiteral("Sommaire"));

        auto *indexPage = new QWidget(m_tabs);
        m_search = new QLineEdit(indexPage);
        m_search->setObjectName(QStringLiteral("HelpSearch"));
        m_search->setPlaceholderText(QStringLiteral("Tapez le mot à rechercher"));
        m_index = new QListWidget(indexPage);
        m_index->setObjectName(QStringLiteral("HelpIndex"));
        auto *indexLayout = new QVBoxLayout(indexPage);
        indexLayout->setContentsMargins(4, 4, 4, 4);
        indexLayout->addWidget(m_search);
        indexLayout->addWidget(m_index);
        m_tabs->addTab(indexPage, QStringLiteral("Index"));

        m_browser = new HelpBrowser(this);
        m_browser->setObjectName(QStringLiteral("HelpBrowser"));
        m_tree->setAccessibleName(QStringLiteral("Sommaire"));
        m_search->setAccessibleName(QString::fromUtf16(u"Mot à rechercher"));
        m_index->setAccessibleName(QStringLiteral("Index"));
        m_browser->setAccessibleName(QStringLiteral("Rubrique"));
        m_browser->setOpenExternalLinks(true);

        auto *split = new QSplitter(this);
        split->addWidget(m_tabs);
        split->addWidget(m_browser);
        split->setStretchFactor(1, 1);
        split->setSizes({230, 590});

        auto *layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(split, 1);

        connect(contentsBtn, &QPushButton::clicked, this, [this] { showContents(); });
        connect(indexBtn, &QPushButton::clicked, this, [this] { showIndex(m_search->text()); });
        connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
        connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
        connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
        connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
        connect(m_tree, &QTreeWidget::itemClicked, this,
                [this](QTreeWidgetItem *item) { go(item->data(0, Qt::UserRole).toString()); });
        connect(m_tree, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem *item) { go(item->data(0, Qt::UserRole).toString()); });
        connect(m_index, &QListWidget::itemActivated, this,
                [this](QListWidgetItem *item) { go(item->data(Qt::UserRole).toString()); });
        connect(m_search, &QLineEdit::textChanged, this, [this](const QString &t) { filterIndex(t); });
        connect(m_search, &QLineEdit::returnPressed, this, [this] {
            if (QListWidgetItem *item = m_index->currentItem())
                go(item->data(Qt::UserRole).toString());
        });
        m_back->setEnabled(false);
        m_forward->setEnabled(false);
    }

    void load(const QString &path, const HelpFile &file)
    {
        m_url = urlOf(path);
        m_tree->clear();
        m_index->clear();
        QTreeWidgetItem *parents[4] = {nullptr, nullptr, nullptr, nullptr};
        struct Key {
            QString text, anchor;
        };
        std::vector<Key> keys;
        for (const HelpTopic &t : file.topics) {
            const int level = std::clamp(t.level, 1, 3);
            QTreeWidgetItem *up = nullptr;
            for (int l = level - 1; l >= 1 && !up; --l)
                up = parents[l];
            auto *item = up ? new QTreeWidgetItem(up) : new QTreeWidgetItem(m_tree);
            item->setText(0, t.title);
            item->setData(0, Qt::UserRole, t.anchor);
            parents[level] = item;
            for (int l = level + 1; l <= 3; ++l)
                parents[l] = nullptr;
            keys.push_back({t.title, t.anchor});
            for (const QString &k : t.keywords)
                keys.push_back({k, t.anchor});
        }
        m_tree->expandToDepth(0);
        QCollator collator(QLocale(QLocale::French, QLocale::France));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(keys.begin(), keys.end(),
                         [&](const Key &a, const Key &b) { return collator.compare(a.text, b.text) < 0; });
        // A keyword that repeats its topic's title is listed once.
        keys.erase(std::unique(keys.begin(), keys.end(),
                               [](const Key &a, const Key &b) {
                                   return a.anchor == b.anchor &&
                                          a.text.compare(b.text, Qt::CaseInsensitive) == 0;
                               }),
                   keys.end());
        for (const Key &k : keys) {
            auto *item = new QListWidgetItem(k.text, m_index);
            item->setData(Qt::UserRole, k.anchor);
        }
    }

    void go(const QString &anchor)
    {
        QUrl url = m_url;
        url.setFragment(anchor.isEmpty() ? QString() : anchor);
        if (m_browser->source() == url && !anchor.isEmpty())
            m_browser->scrollToAnchor(anchor);
        else
            m_browser->setSource(url, QTextDocument::HtmlResource);
    }

    void showContents()
    {
        m_tabs->setCurrentIndex(0);
        go(QString());
    }

    void showTopic(const QString &anchor)
    {
        m_tabs->setCurrentIndex(0);
        go(anchor);
    }

    void showIndex(const QString &keyword)
    {
        m_tabs->setCurrentIndex(1);
        m_search->setText(keyword);
        filterIndex(keyword);
        m_search->setFocus();
        if (m_browser->source().isEmpty())
            go(QString());
    }

    void showHowTo()
    {
        m_browser->setSource(QUrl(kHowToScheme + QStringLiteral(":utiliser")), QTextDocument::HtmlResource);
    }

protected:
    // Esc closes the help as it closes the program's other windows; the controls inside that
    // use Esc themselves (an open list) take it first.
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }

    // The window help was asked from gets the keyboard back: a window manager may leave no
    // window active when a child window closes.
    void closeEvent(QCloseEvent *event) override
    {
        QWidget::closeEvent(event);
        if (QWidget *owner = parentWidget(); owner && owner->isVisible())
            owner->activateWindow();
    }

private:
    void filterIndex(const QString &text)
    {
        const QString key = text.trimmed();
        QListWidgetItem *first = nullptr;
        for (int i = 0; i < m_index->count(); ++i) {
            QListWidgetItem *item = m_index->item(i);
            const bool match = key.isEmpty() || item->text().startsWith(key, Qt::CaseInsensitive);
            item->setHidden(!match);
            if (match && !first)
                first = item;
        }
        m_index->setCurrentItem(key.isEmpty() ? nullptr : first);
    }

    QUrl m_url;
    QTabWidget *m_tabs;
    QTreeWidget *m_tree;
    QLineEdit *m_search;
    QListWidget *m_index;
    QTextBrowser *m_browser;
    QPushButton *m_back;
    QPushButton *m_forward;
};

QPointer<HelpWindow> g_window;

// The help window, made or taken over by the window it is opened from. A modal window blocks
// every window but its own children: help asked for in a dialog must be one of them, or it
// could be neither read nor closed until the dialog is.
HelpWindow *helpWindowFor(QWidget *parent)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner && parent)
        owner = parent->window();
    if (!g_window) {
        g_window = new HelpWindow(owner);
    } else if (g_window->parentWidget() != owner) {
        const bool shown = g_window->isVisible();
        const QRect where = g_window->geometry();
        g_window->setParent(owner, g_window->windowFlags());
        if (shown)
            g_window->setGeometry(where);
    }
    return g_window;
}

// Reads the file afresh for every command, so that a file fixed while the program runs is seen.
HelpWindow *open(QWidget *parent)
{
    const QString path = Help::resolvedFile();
    const HelpFile file = Help::read(path);
    if (!file.ok()) {
        QMessageBox::warning(parent ? parent->window() : nullptr, QStringLiteral("Aide de Tev Auto"),
                             file.error);
        return nullptr;
    }
    helpWindowFor(parent)->load(path, file);
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return g_window;
}

void record(const QString &what)
{
    g_calls << what + QLatin1Char(' ') + Help::resolvedFile();
}

} // namespace

void Help::setHelpFile(const QString &path)
{
    g_file = path;
}

QString Help::helpFile()
{
    return g_file;
}

QString Help::resolvedFile()
{
    if (QFileInfo(g_file).isFile())
        return g_file;
    const QString installed = installedFolder() + QStringLiteral("/TevAuto.hlp");
    return QFileInfo(installed).isFile() ? installed : g_file;
}

QString Help::installedFolder()
{
    if (!g_installedFolder.isEmpty())
        return g_installedFolder;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tevauto"));
}

void Help::setInstalledFolder(const QString &folder)
{
    g_installedFolder = folder;
}

QString Help::contextAnchor(int number)
{
    return QStringLiteral("contexte%1").arg(number);
}

HelpFile Help::read(const QString &path)
{
    HelpFile out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("Impossible d'ouvrir le fichier d'aide « %1 ».")
                        .arg(QDir::toNativeSeparators(path));
        return out;
    }
    out.html = QString::fromUtf8(f.readAll());
    if (f.error() != QFileDevice::NoError ||
        !out.html.contains(QLatin1String("<html"), Qt::CaseInsensitive)) {
        out.error =
            QStringLiteral("Le fichier d'aide « %1 » est illisible.").arg(QDir::toNativeSeparators(path));
        out.html.clear();
        return out;
    }
    static const QRegularExpression heading(
        QStringLiteral(
            "<h([1-3])[^>]*>\\s*<a\\s+name=\"([^\"]+)\"(?:\\s+title=\"([^\"]*)\")?\\s*>\\s*</a>(.*?)</h\\1>"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    for (auto it = heading.globalMatch(out.html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        HelpTopic t;
        t.level = m.captured(1).toInt();
        t.anchor = m.captured(2);
        t.title = plainText(m.captured(4));
        for (const QString &k : m.captured(3).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!k.trimmed().isEmpty())
                t.keywords << k.trimmed();
        out.topics.push_back(t);
    }
    return out;
}

void Help::contents(QWidget *parent)
{
    if (g_testMode)
        return record(QStringLiteral("contents"));
    if (HelpWindow *w = open(parent))
        w->showContents();
}

void Help::search(QWidget *parent, const QString &keyword)
{
    if (g_testMode)
        return record(QStringLiteral("search \"%1\"").arg(keyword));
    if (HelpWindow *w = open(parent))
        w->showIndex(keyword);
}

void Help::helpOnHelp(QWidget *parent)
{
    if (g_testMode)
        return record(QStringLiteral("howto"));
    // Help on help is the engine's own page: it needs no help file.
    helpWindowFor(parent);
    const QString path = resolvedFile();
    const HelpFile file = read(path);
    if (file.ok())
        g_window->load(path, file);
    g_window->showHowTo();
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}

void Help::context(QWidget *parent, int number)
{
    if (g_testMode)
        return record(QStringLiteral("context %1").arg(number));
    if (HelpWindow *w = open(parent))
        w->showTopic(contextAnchor(number));
}

void Help::topic(QWidget *parent, const QString &anchor)
{
    if (g_testMode)
        return record(QStringLiteral("topic ") + anchor);
    if (HelpWindow *w = open(parent))
        w->showTopic(anchor);
}

void Help::setTestMode(bool on)
{
    g_testMode = on;
    g_calls.clear();
}

QStringList Help::calls()
{
    return g_calls;
}

QWidget *Help::window()
{
    return g_window;
}

} // namespace platform
