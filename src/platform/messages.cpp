#include "platform/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <deque>

namespace platform {
namespace {
bool g_testMode = false;
std::deque<Messages::Answer> g_answers;
Messages::Answer g_lastDefault = Messages::Yes;
QStringList g_shown;

// Test mode: the question is recorded and answered from the queue (Cancel once it is empty).
Messages::Answer testAnswer(const QString &text)
{
    g_shown << QStringLiteral("question: ") + text;
    if (g_answers.empty())
        return Messages::Cancel;
    const Messages::Answer a = g_answers.front();
    g_answers.pop_front();
    return a;
}

QString appTitle()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Tev Auto") : name;
}
} // namespace

Messages::Answer Messages::askYesNoCancel(QWidget *parent, const QString &text, Answer byDefault)
{
    g_lastDefault = byDefault;
    if (g_testMode)
        return testAnswer(text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Avertissement"), text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(byDefault == Yes ? yes : byDefault == No ? no : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Yes;
    if (box.clickedButton() == no)
        return No;
    return Cancel;
}

bool Messages::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    if (g_testMode)
        return testAnswer(text) == Yes;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Messages::Answer Messages::askYesNoOrClose(QWidget *parent, const QString &title, const QString &text)
{
    if (g_testMode)
        return testAnswer(text);
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    // Escape closes the box without pressing a button.
    QPushButton *later = box.addButton(QString(), QMessageBox::RejectRole);
    later->hide();
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == yes)
        return Yes;
    if (box.clickedButton() == no)
        return No;
    return Cancel;
}

void Messages::information(QWidget *parent, const QString &text)
{
    if (g_testMode) {
        g_shown << QStringLiteral("information: ") + text;
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

QString Messages::withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Messages::error(QWidget *parent, const QString &message)
{
    const QString text = withFullStop(message);
    if (g_testMode) {
        g_shown << QStringLiteral("error: ") + text;
        return;
    }
    QMessageBox box(QMessageBox::Critical, appTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void Messages::setTestMode(bool on)
{
    g_testMode = on;
    g_answers.clear();
    g_shown.clear();
}

void Messages::setNextAnswer(Answer a)
{
    g_answers.push_back(a);
}

Messages::Answer Messages::lastDefault()
{
    return g_lastDefault;
}

QStringList Messages::shown()
{
    return g_shown;
}

void Messages::clearShown()
{
    g_shown.clear();
}

} // namespace platform
