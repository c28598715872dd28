#include "ui/shell/SimulatorTablePanel.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ui/shell/SimulatorControl.h"

namespace {

constexpr int kFollowMs = 250; // [ms] the head position is read this often while shown

struct JogButton {
    const char* caption;
    const char* name;
    const char* tip;
    int dx;
    int dy;
};

// Table Y grows towards the operator, as the chart's rows do.
constexpr JogButton kJogButtons[] = {
    {"\u25C0", "JogLeft", "Jog the head left (arrow key Left)", -1, 0},
    {"\u25B2", "JogUp", "Jog the head away from you (arrow key Up)", 0, -1},
    {"\u25BC", "JogDown", "Jog the head towards you (arrow key Down)", 0, 1},
    {"\u25B6", "JogRight", "Jog the head right (arrow key Right)", 1, 0},
};

} // namespace

void askAndMoveHeadOverPatch(SimulatorControl& control, QWidget* parent)
{
    bool ok = false;
    const QString name = QInputDialog::getText(parent, QStringLiteral("Move head over patch"),
        QStringLiteral("Patch of the chart on the table (e.g. 13A1, A15):"), QLineEdit::Normal,
        QString(), &ok)
                             .trimmed()
                             .toUpper();
    if (!ok || name.isEmpty())
        return;
    if (!control.moveHeadOverPatch(name))
        QMessageBox::warning(parent, QStringLiteral("Simulator"),
            QStringLiteral("The chart on the table has no patch \"%1\".").arg(name));
}

SimulatorTablePanel::SimulatorTablePanel(SimulatorControl& control, QWidget* parent)
    : QWidget(parent), simulator(control), head(new QLabel(this)),
      moveOverPatch(new QPushButton(QStringLiteral("Move over patch..."), this)),
      follow(new QTimer(this))
{
    setObjectName(QStringLiteral("SimulatorTable"));
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("The simulated XY table: the arrow keys jog the head by %1 table "
                              "units (with Shift %2) while this strip has the focus.")
                   .arg(kJogStep)
                   .arg(kLongJogStep));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    head->setObjectName(QStringLiteral("HeadPosition"));
    layout->addWidget(head);
    for (const JogButton& button : kJogButtons) {
        auto* jogButton = new QPushButton(QString::fromUtf8(button.caption), this);
        jogButton->setObjectName(QString::fromLatin1(button.name));
        jogButton->setToolTip(QString::fromLatin1(button.tip));
        jogButton->setAutoRepeat(true);
        jogButton->setFocusPolicy(Qt::NoFocus);
        jogButton->setFixedWidth(jogButton->sizeHint().height() + 4);
        layout->addWidget(jogButton);
        connect(jogButton, &QPushButton::clicked, this, [this, button] {
            setFocus();
            jog(button.dx * kJogStep, button.dy * kJogStep);
        });
    }
    moveOverPatch->setFocusPolicy(Qt::NoFocus);
    moveOverPatch->setToolTip(
        QStringLiteral("Put the head over a patch of the chart on the table"));
    layout->addWidget(moveOverPatch);
    layout->addStretch(1);
    connect(moveOverPatch, &QPushButton::clicked, this, [this] {
        askAndMoveHeadOverPatch(simulator, this);
        showHead();
    });
    connect(follow, &QTimer::timeout, this, &SimulatorTablePanel::showHead);
    follow->start(kFollowMs);
    showHead();
}

void SimulatorTablePanel::showHead()
{
    if (!isVisible() && head->text().size() > 0)
        return;
    const ltsim::TablePosition at = simulator.headPosition();
    const QString patch = simulator.patchUnderHead();
    head->setText(QStringLiteral("Table head at %1, %2 over %3")
                      .arg(at.x)
                      .arg(at.y)
                      .arg(patch.isEmpty() ? QStringLiteral("paper") : patch));
}

void SimulatorTablePanel::jog(int dx, int dy)
{
    simulator.jogHead(dx, dy);
    showHead();
}

void SimulatorTablePanel::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? kLongJogStep : kJogStep;
    switch (event->key()) {
    case Qt::Key_Left:
        jog(-step, 0);
        break;
    case Qt::Key_Right:
        jog(step, 0);
        break;
    case Qt::Key_Up:
        jog(0, -step);
        break;
    case Qt::Key_Down:
        jog(0, step);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
