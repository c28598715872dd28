#include "app/HVSheet.h"

#include <QIcon>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ComingPage.h"

static void loadIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon programIcon()
{
    loadIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/ltrakw-%1.png").arg(size), QSize(size, size));
    return icon;
}

CHVSheet::CHVSheet(QWidget* parent) : QWidget(parent), pages(new QTabWidget(this))
{
    setWindowTitle(QString::fromLatin1(kMainWindowTitle));
    setWindowIcon(programIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pages);
    pages->addTab(new ComingPage(QStringLiteral("Instrument: device type and port, calibration, measurement and the spectrum graph."), pages),
                  QStringLiteral("Spectrum"));
    pages->addTab(new ComingPage(QStringLiteral("Colour metrics: the measurement list, densities and spot colours."), pages),
                  QStringLiteral("Color Metrics"));
    pages->addTab(new ComingPage(QStringLiteral("Quality control of samples against reference sets with tolerances."), pages),
                  QStringLiteral("Quality Control"));
    pages->addTab(new ComingPage(QStringLiteral("Service: firmware download into the instrument."), pages),
                  QStringLiteral("Service"));
    resize(900, 640);
}

CHVSheet::~CHVSheet() = default;
