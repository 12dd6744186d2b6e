#pragma once
// The clock utility "Horloge": shows the local time and date every second and lets the user step
// them and set the computer's clock to the result.

#include "core/utilities/horloge.h"

#include <QDialog>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

// A spin control without a value: an up half and a down half, repeating while held (first after
// 400 ms, then every 100 ms); with the focus, the Up and Down arrow keys step as well.
class THorlogeSpin : public QWidget {
    Q_OBJECT
public:
    explicit THorlogeSpin(QWidget *parent = nullptr);
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void upClick();
    void downClick();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void stepOnce(bool up);

    QToolButton *m_up;
    QToolButton *m_down;
    QTimer *m_repeat;
    bool m_repeatUp = true;
};

class THorloge : public QDialog {
    Q_OBJECT
public:
    explicit THorloge(QWidget *parent = nullptr);

    // The function that sets the computer's clock; without one, setting only reports failure.
    void setClockSetter(horloge::ClockSetter setter) { m_setter = std::move(setter); }

    bool settingMode() const { return m_setting; }
    // Selected item of the field selector, -1 when none.
    int selectedField() const;
    void selectField(int index);

    void FormActivate();
    void FormDeactivate();
    void Timer1Timer();
    void Button2Click();
    void SpinButton1UpClick() { step(+1); }
    void SpinButton1DownClick() { step(-1); }
    // Sets the computer's clock from the displays; a failure is shown in the error box.
    horloge::SetResult::Outcome Modifie();
    void Button1Click() { close(); }

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QFrame *Label4;
    QGroupBox *RadioGroup1;
    THorlogeSpin *SpinButton1;
    QPushButton *Button2;
    QPushButton *Button1;
    QTimer *Timer1;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void step(int d);

    QButtonGroup *m_fields;
    horloge::ClockSetter m_setter;
    bool m_setting = false;
};
