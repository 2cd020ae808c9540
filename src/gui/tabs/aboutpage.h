#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The About tab: what the program is, its version, a notice and a contact line.
class AboutPage : public QWidget
{
    Q_OBJECT

public:
    explicit AboutPage(QWidget *parent = nullptr);

    // Shows the version in the heading, once it is known.
    void setVersionText(const QString &versionText);

    QLabel *Abtlbl = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QFrame *Line2 = nullptr;
};
