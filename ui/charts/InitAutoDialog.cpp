#include "ui/charts/InitAutoDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "core/autorun/ChartAlignment.h"

namespace lt {

namespace {

constexpr const char* kSetCaptions[3] = {"Set P1", "Set P2", "Set P3"};
constexpr const char* kHint = "Steer the head over each patch named below, then press its button.";

} // namespace

InitAutoDialog::InitAutoDialog(ChartAlignment& chartAlignment, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      alignment(chartAlignment)
{
    setObjectName("InitAuto");
    setWindowTitle("InitAuto");
    auto* layout = new QGridLayout(this);
    auto* hint = new QLabel(kHint, this);
    hint->setWordWrap(true);
    layout->addWidget(hint, 0, 0, 1, 3);
    for (int corner = 0; corner < 3; ++corner) {
        setButtons[corner] = new QPushButton(kSetCaptions[corner], this);
        setButtons[corner]->setObjectName(kSetCaptions[corner]);
        setButtons[corner]->setAutoDefault(false);
        cornerLabels[corner] = new QLabel(this);
        layout->addWidget(setButtons[corner], corner + 1, 0);
        layout->addWidget(cornerLabels[corner], corner + 1, 1);
        connect(
            setButtons[corner], &QPushButton::clicked, this, [this, corner] { setCorner(corner); });
    }
    start = new QPushButton("Start", this);
    start->setObjectName("Start");
    start->setDefault(true);
    cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Cancel");
    cancel->setAutoDefault(false);
    layout->addWidget(start, 1, 2);
    layout->addWidget(cancel, 2, 2);
    layout->setColumnStretch(1, 1);
    layout->setColumnMinimumWidth(
        1, fontMetrics().horizontalAdvance("P3 00N13 at 65535, 65535") + 8);
    connect(start, &QPushButton::clicked, this, [this] {
        if (alignment.start())
            accept();
        else
            showCorners();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showCorners();
}

bool InitAutoDialog::run()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    loop.exec();
    return result() == QDialog::Accepted;
}

void InitAutoDialog::setCorner(int corner)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    switch (corner) {
    case 0:
        alignment.setP1();
        break;
    case 1:
        alignment.setP2();
        break;
    default:
        alignment.setP3();
        break;
    }
    QApplication::restoreOverrideCursor();
    showCorners();
}

void InitAutoDialog::showCorners()
{
    const AlignmentGeometry geometry = alignmentGeometry(alignment.chartCode());
    const XYPosition taken[3] = {alignment.p1(), alignment.p2(), alignment.p3()};
    for (int corner = 0; corner < 3; ++corner) {
        QString text = QString("P%1 %2").arg(corner + 1).arg(geometry.corners[corner]);
        if (alignment.flags() & (1u << corner))
            text += QString(" at %1, %2").arg(taken[corner].x).arg(taken[corner].y);
        cornerLabels[corner]->setText(text);
    }
}

void InitAutoDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void InitAutoDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape would cancel the alignment behind the operator's back.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace lt
