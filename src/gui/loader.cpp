#include "gui/loader.h"

#include "gui/artwork.h"
#include "core/app/credits.h"
#include "gui/twips.h"
#include "gui/windowplacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

Loader::Loader(OpenMainWindow openMainWindow, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_openMainWindow(std::move(openMainWindow))
{
    setObjectName(QStringLiteral("Loader"));
    setFixedSize(Twips::toPixels(3990), Twips::toPixels(4305));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(120, 120, 3810, 4155));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAccessibleName(QStringLiteral("Quillwright"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Loader::Timer1_Timer);
}

void Loader::Form_Load()
{
    SubFrmCntr(this);
    setWindowTitle(QLatin1String("Q.W.R. ") + Credits::CreditText);
    // The picture is drawn for the screen the splash ended up on.
    Image1->setPixmap(Artwork::splashPicture(devicePixelRatioF()));
    Timer1->start();
}

void Loader::Timer1_Timer()
{
    if (m_openMainWindow)
        m_openMainWindow();
    close();
    // Unloaded: the picture and the window's pixels are given back now, before
    // the main window first paints, rather than when the program ends.
    Image1->clear();
    destroy();
}

void Loader::closeEvent(QCloseEvent *event)
{
    Timer1->stop();
    QWidget::closeEvent(event);
}
