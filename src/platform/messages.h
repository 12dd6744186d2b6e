#pragma once
// Every message box of the program goes through here, so that tests can answer questions and
// read what was shown without a real box.

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class Messages {
public:
    enum Answer { Yes, No, Cancel };

    // Warning titled "Avertissement" with "&Oui", "&Non" and "Annuler"; Enter gives `byDefault`.
    static Answer askYesNoCancel(QWidget *parent, const QString &text, Answer byDefault = Yes);
    // Warning with "&Oui" and "&Non" ("&Non" the default); true for "&Oui".
    static bool askYesNo(QWidget *parent, const QString &title, const QString &text);
    // Warning with "&Oui" (the default) and "&Non"; a box closed without an answer (Escape, its
    // close box) gives Cancel, so that nothing is decided for the user.
    static Answer askYesNoOrClose(QWidget *parent, const QString &title, const QString &text);
    // Plain information message titled with the application name.
    static void information(QWidget *parent, const QString &text);
    // The standard error box: titled with the application name, error icon, one OK button; a
    // full stop is added when the message's last character comes after '.' in character order.
    static void error(QWidget *parent, const QString &message);

    static QString withFullStop(const QString &message);

    // Test mode: nothing is shown; every box is recorded as "kind: text" (kind is question,
    // information or error) and questions take the queued answers (Cancel when none is left).
    static void setTestMode(bool on);
    static void setNextAnswer(Answer a);
    static QStringList shown();
    // The default answer of the last question asked with a choice of it (test mode too).
    static Answer lastDefault();
    static void clearShown();
};

} // namespace platform
