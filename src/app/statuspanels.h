#pragma once
// The frame's status bar: panels of fixed widths drawn side by side, each with its text and
// alignment. Painted by hand so that a panel never widens the frame's minimum size.

#include <QStatusBar>

#include <vector>

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    void addPanel(int width, Qt::Alignment alignment);
    int panelCount() const { return int(m_panels.size()); }
    int panelWidth(int i) const { return m_panels.at(i).width; }
    void setPanelWidth(int i, int width);
    QString panelText(int i) const { return m_panels.at(i).text; }
    void setPanelText(int i, const QString &text);
    // The panel's rectangle inside the bar.
    QRect panelRect(int i) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
    };
    std::vector<Panel> m_panels;
};
