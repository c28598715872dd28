#pragma once
// The "Spectrum" tab: device type and port, "Init Device", "Acquire", the
// remote mode, measurement mode, the array spectrometer's parameters and
// references, and the spectrum graph of the latest sample.
#include <cstdint>
#include <memory>

#include <QTimer>
#include <QWidget>

#include "core/instrument_page/InstrumentController.h"
#include "core/station/InstrumentPageLink.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SpectrumGraphWidget;
class StationEvents;

namespace lt {
class Workstation;
struct GraphSample;
} // namespace lt

class ExchangeActivity;

class CTaviLight : public QWidget, public lt::InstrumentPageLink {
    Q_OBJECT
public:
    // beeper: where the page's beeps go (the sound card when empty).
    explicit CTaviLight(lt::Workstation& workstation, QWidget* parent = nullptr,
        lt::InstrumentController::Beeper beeper = {});
    ~CTaviLight() override;

    lt::InstrumentController& controller() { return *logic; }
    SpectrumGraphWidget* graph() const { return graphView; }
    QTimer& remoteTimer() { return pollTimer; }

    // Controls, for the tests and the main sheet.
    QPushButton* initButton() const { return initDevice; }
    QPushButton* acquireButton() const { return acquire; }
    QPushButton* remoteButton() const { return remote; }
    QComboBox* deviceTypeBox() const { return deviceType; }
    QRadioButton* comRadio(int number) const { return number == 1 ? com1 : com2; }
    QLineEdit* scansEdit() const { return scans; }
    QLineEdit* lowLimitEdit() const { return lowLimit; }
    QLineEdit* highLimitEdit() const { return highLimit; }
    QGroupBox* spectrometerGroup() const { return parameterGroup; }
    QLabel* titleLabel() const { return title; }

    // The main window's "an exchange runs" state: the page's controls rest
    // while it says so, and the page shows the controller again when an
    // exchange has ended.
    void setExchangeActivity(ExchangeActivity* exchangeActivity);
    // The controls that start an exchange with the instrument.
    QList<QWidget*> exchangeControls() const;

    // lt::InstrumentPageLink
    bool instrumentInitialised() const override;
    bool pauseLiveReading() override;
    void resumeLiveReading() override;
    void selectIlluminant(int illuminationType) override;
    int portNumber() const override;
    bool portOpenForService() const override;
    void endLiveReading() override;

Q_SIGNALS:
    // The device type in use changed (operator or white-reference check).
    void deviceTypeChanged(int type);

private:
    void buildControls();
    void showState();
    void showControls();
    void plotRemission(const lt::GraphSample& sample);
    void plotSpectrometer();

    lt::Workstation& station;
    std::unique_ptr<lt::InstrumentController> logic;
    StationEvents* events = nullptr; // the core's events on this thread
    ExchangeActivity* activity = nullptr;
    QTimer pollTimer;
    unsigned plottedAcquisitions = 0;
    bool showing = false;

    QLabel* title = nullptr;
    QComboBox* deviceType = nullptr;
    QRadioButton* com1 = nullptr;
    QRadioButton* com2 = nullptr;
    QButtonGroup* comGroup = nullptr;
    QPushButton* initDevice = nullptr;
    QPushButton* acquire = nullptr;
    QPushButton* remote = nullptr;
    QRadioButton* reflection = nullptr;
    QRadioButton* transmission = nullptr;
    QRadioButton* emission = nullptr;
    QCheckBox* beep = nullptr;
    QGroupBox* parameterGroup = nullptr;
    QComboBox* integrationTime = nullptr;
    QComboBox* gain = nullptr;
    QLineEdit* scans = nullptr;
    QLineEdit* lowLimit = nullptr;
    QLineEdit* highLimit = nullptr;
    QPushButton* darkRef = nullptr;
    QPushButton* zeroRef = nullptr;
    QPushButton* newParameter = nullptr;
    QPushButton* transmissionToggle = nullptr;
    QComboBox* illumination = nullptr;
    QLabel* valueCaption = nullptr;
    QLabel* valueLine = nullptr;
    SpectrumGraphWidget* graphView = nullptr;
};
