#pragma once
// The "Quality Control" tab: the reference list of the quality-control set
// with its editing buttons, the tolerances of the entry in "No:", the
// judgement of each new measurement in numbers, in the "OK:" box and in the
// dL bar, the L bar and the a*b* plane, logging, and loading, saving and
// printing the set. A view: it forwards to QcPageLogic and mirrors its
// fields. The set starts the first time the tab is shown; from then on
// every measurement is judged.
#include <functional>
#include <memory>

#include <QWidget>

#include "core/qc/QcPageLogic.h"

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTreeWidget;
class QcGraphicsWidget;

namespace lt {
class Workstation;
}

class QC : public QWidget {
    Q_OBJECT
public:
    explicit QC(lt::Workstation& workstation, QWidget* parent = nullptr);
    ~QC() override;

    lt::QcPageLogic& logic() { return pageLogic; }
    QcGraphicsWidget* graphics() const { return plane; }
    QTreeWidget* list() const { return entries; }

    // Asks where to print; false when the operator cancelled. The default
    // shows Qt's print dialog (CUPS printers and printing to a PDF file).
    using PrintDialog = std::function<bool(QPrinter& printer)>;
    void setPrintDialog(PrintDialog dialog) { printDialog = std::move(dialog); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // An edit whose typing goes to the logic's field.
    QLineEdit* addField(const char* name, lt::QcField field);
    // A button that runs action and then shows the fields anew.
    QPushButton* addCommand(const char* caption, std::function<void()> action);
    std::optional<int> selectedEntry() const;
    void printSet();
    void refresh(); // the widgets from the logic's fields
    void refillList();
    // A measured sample against the set; the fields and the picture follow.
    void judge(const lt::Lab& lab);

    lt::Workstation& station;
    lt::QcPageLogic pageLogic;
    PrintDialog printDialog;
    int shownRevision = -1;

    QLabel* fileName = nullptr;
    QTreeWidget* entries = nullptr;
    QcGraphicsWidget* plane = nullptr;
    QLabel* okBox = nullptr;
    QPushButton* logButton = nullptr;
    struct Fields;
    std::unique_ptr<Fields> fields;
};
