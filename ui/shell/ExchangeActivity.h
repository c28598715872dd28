#pragma once
// The "an exchange runs" state of the main window. Whatever holds the
// instrument (an exchange on the workstation's worker, the firmware
// download, the automatic chart run) makes the measuring controls rest the
// same way. An exchange that lasts longer than kShowAfterMs also shows a
// busy cursor and, in the status bar, what runs with its progress (the baud
// rate being tried, scans done of N) and a "Cancel" where the exchange can
// stop; shorter ones (remote mode's polls) pass without a flicker.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/station/ExchangeWorker.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

class ExchangeActivity : public QObject, private lt::ExchangeListener {
    Q_OBJECT
public:
    static constexpr int kShowAfterMs = 500;
    static constexpr int kTickMs = 100;

    // The progress display goes into statusBar.
    ExchangeActivity(lt::ExchangeWorker& worker, QStatusBar* statusBar, QObject* parent = nullptr);
    ~ExchangeActivity() override;

    // The measuring controls rest now, and why (a tooltip's text).
    bool resting() const { return exchangeShown || !holder.isEmpty(); }
    QString why() const;

    // Something other than the worker holds the instrument (why: what it
    // is) or gave it back (empty).
    void holdInstrument(const QString& why);

    // Cancels the running exchange and waits until it has ended, answering
    // the questions it still asks.
    void finishRunningExchange();

    // The progress display, for the tests.
    QWidget* display() const { return panel; }
    QLabel* progressText() const { return text; }
    QProgressBar* progressBar() const { return bar; }
    QPushButton* cancelButton() const { return cancel; }

Q_SIGNALS:
    // The measuring controls rest (resting) or may be used again.
    void restingChanged(bool resting);
    // An exchange on the worker ended: views read its results now.
    void exchangeFinished();

private:
    void exchangeStarted(const lt::ExchangeProgress& progress) override;
    void exchangeProgressed(const lt::ExchangeProgress& progress) override;
    void exchangeEnded(const lt::ExchangeProgress& progress, bool cancelled) override;

    void begin(const lt::ExchangeProgress& progress);
    void advance(const lt::ExchangeProgress& progress);
    void end();
    void show();
    void paint();
    // The busy cursor, except over a question the exchange asks.
    void showBusyCursor(bool busy);

    lt::ExchangeWorker& worker;
    lt::ExchangeProgress current;
    QElapsedTimer sinceReport;
    QTimer showDelay;
    QTimer ticker;
    bool exchangeShown = false;
    bool busyCursor = false;
    QString holder; // what else holds the instrument
    QWidget* panel = nullptr;
    QLabel* text = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* cancel = nullptr;
};
