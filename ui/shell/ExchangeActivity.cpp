#include "ui/shell/ExchangeActivity.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>

#include "ui/shell/OnThreadOf.h"

namespace {

constexpr int kProgressBarWidth = 160; // [px]
constexpr int kIdlePollMs = 5; // [ms] while waiting for a cancelled exchange

const char* const kWaitingFor = "Waiting for the instrument: %1 runs";
const char* const kCancelCaption = "Cancel";
const char* const kCancellingCaption = "Cancelling...";

} // namespace

ExchangeActivity::ExchangeActivity(
    lt::ExchangeWorker& exchangeWorker, QStatusBar* statusBar, QObject* parent)
    : QObject(parent), worker(exchangeWorker)
{
    panel = new QWidget(statusBar);
    panel->setObjectName(QStringLiteral("exchangeProgress"));
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    text = new QLabel(panel);
    bar = new QProgressBar(panel);
    bar->setFixedWidth(kProgressBarWidth);
    bar->setTextVisible(false); // the text beside it counts
    cancel = new QPushButton(QString::fromLatin1(kCancelCaption), panel);
    cancel->setToolTip(
        QStringLiteral("Stops the exchange with the instrument at its next safe point."));
    layout->addWidget(text);
    layout->addWidget(bar);
    layout->addWidget(cancel);
    statusBar->addPermanentWidget(panel);
    panel->hide();
    connect(cancel, &QPushButton::clicked, this, [this] {
        worker.cancel();
        cancel->setEnabled(false);
        cancel->setText(QString::fromLatin1(kCancellingCaption));
    });

    showDelay.setSingleShot(true);
    showDelay.setInterval(kShowAfterMs);
    connect(&showDelay, &QTimer::timeout, this, &ExchangeActivity::show);
    ticker.setInterval(kTickMs);
    connect(&ticker, &QTimer::timeout, this, &ExchangeActivity::paint);
    worker.setListener(this);
}

ExchangeActivity::~ExchangeActivity()
{
    worker.setListener(nullptr);
    showBusyCursor(false);
}

QString ExchangeActivity::why() const
{
    if (!holder.isEmpty())
        return holder;
    return QString::fromLatin1(kWaitingFor).arg(QString::fromStdString(current.action));
}

void ExchangeActivity::holdInstrument(const QString& why)
{
    const bool wasResting = resting();
    holder = why;
    if (resting() != wasResting)
        Q_EMIT restingChanged(resting());
}

void ExchangeActivity::finishRunningExchange()
{
    if (!worker.running())
        return;
    worker.cancel();
    while (worker.running()) {
        QApplication::processEvents(QEventLoop::AllEvents, kIdlePollMs);
        QThread::msleep(kIdlePollMs);
    }
    QApplication::processEvents();
}

void ExchangeActivity::exchangeStarted(const lt::ExchangeProgress& progress)
{
    onThreadOf(this, [this, progress] { begin(progress); });
}

void ExchangeActivity::exchangeProgressed(const lt::ExchangeProgress& progress)
{
    onThreadOf(this, [this, progress] { advance(progress); });
}

void ExchangeActivity::exchangeEnded(const lt::ExchangeProgress& progress, bool cancelled)
{
    (void)progress;
    (void)cancelled;
    onThreadOf(this, [this] { end(); });
}

void ExchangeActivity::begin(const lt::ExchangeProgress& progress)
{
    current = progress;
    sinceReport.start();
    cancel->setText(QString::fromLatin1(kCancelCaption));
    cancel->setEnabled(progress.cancellable);
    // Only a worker's exchange can outlast the event loop's attention.
    if (worker.ownThread())
        showDelay.start();
}

void ExchangeActivity::advance(const lt::ExchangeProgress& progress)
{
    current = progress;
    sinceReport.start();
    if (exchangeShown)
        paint();
}

void ExchangeActivity::end()
{
    showDelay.stop();
    ticker.stop();
    if (exchangeShown) {
        exchangeShown = false;
        panel->hide();
        showBusyCursor(false);
        if (holder.isEmpty())
            Q_EMIT restingChanged(false);
    }
    Q_EMIT exchangeFinished();
}

void ExchangeActivity::show()
{
    if (!worker.running() || exchangeShown)
        return;
    exchangeShown = true;
    panel->show();
    paint();
    ticker.start();
    Q_EMIT restingChanged(true);
}

void ExchangeActivity::showBusyCursor(bool busy)
{
    if (busy == busyCursor)
        return;
    busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void ExchangeActivity::paint()
{
    showBusyCursor(exchangeShown && QApplication::activeModalWidget() == nullptr);
    const QString action = QString::fromStdString(current.action);
    const QString step = QString::fromStdString(current.step);
    int done = current.done;
    if (current.stepMs > 0 && current.total > 0)
        done = std::min<int>(current.total,
            done + static_cast<int>(sinceReport.elapsed() / static_cast<qint64>(current.stepMs)));
    if (current.total <= 0) {
        text->setText(action + QStringLiteral(" ..."));
        bar->setRange(0, 0); // runs without a count
        return;
    }
    bar->setRange(0, current.total);
    bar->setValue(done);
    if (current.stepMs > 0)
        text->setText(
            QStringLiteral("%1: %2 %3 of %4").arg(action, step).arg(done).arg(current.total));
    else
        text->setText(QStringLiteral("%1: %2 (%3 of %4)")
                          .arg(action, step)
                          .arg(current.done + 1)
                          .arg(current.total));
}
