#include "ui/qc/QC.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

#include "core/station/Workstation.h"
#include "ui/qc/QcGraphicsWidget.h"
#include "ui/qc/QcPrinter.h"
#include "ui/shell/StationEvents.h"

namespace {

constexpr const char* kColumnHeads[] = {"No", "Comment", "L   ", "a   ", "b   "};
constexpr int kColumns = 5;
constexpr int kListMinimumWidth = 300; // [px]
constexpr int kOkBoxSize = 22; // [px]
constexpr int kNumberFieldWidth = 64; // [px]
constexpr int kCommentMaxLength = static_cast<int>(lt::kQcEnteredCommentLength);

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.c_str());
}

void showText(QLineEdit* edit, const std::string& text)
{
    const QString shown = latin1(text);
    if (edit->text() != shown)
        edit->setText(shown);
}

} // namespace

struct QC::Fields {
    std::map<lt::QcField, QLineEdit*> edits;
    QLineEdit* matchNumber = nullptr;
    QLineEdit* deltaE = nullptr;
    QLabel* formula = nullptr;
    QLineEdit* deltaL = nullptr;
    QLineEdit* spread = nullptr;
};

QC::QC(lt::Workstation& workstation, QWidget* parent)
    : QWidget(parent), station(workstation), pageLogic(workstation),
      fields(std::make_unique<Fields>())
{
    // Files and the list.
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(addCommand("Load Set", [this] { pageLogic.loadSet(); }));
    fileButtons->addWidget(addCommand("Save Set", [this] { pageLogic.saveSet(); }));
    fileButtons->addWidget(addCommand("Print Set", [this] { printSet(); }));
    fileButtons->addStretch(1);

    fileName = new QLabel(this);
    fileName->setObjectName("fileName");
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);

    entries = new QTreeWidget(this);
    entries->setObjectName("entries");
    entries->setColumnCount(kColumns);
    QStringList heads;
    for (const char* head : kColumnHeads)
        heads << QString::fromLatin1(head);
    entries->setHeaderLabels(heads);
    for (int column = 0; column < kColumns; ++column)
        entries->headerItem()->setTextAlignment(column, Qt::AlignRight);
    entries->setRootIsDecorated(false);
    entries->setUniformRowHeights(true);
    entries->setSelectionMode(QAbstractItemView::SingleSelection);
    entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    entries->setMinimumWidth(kListMinimumWidth);
    entries->header()->setStretchLastSection(false);
    const std::array<int, kColumns> widths = lt::qcListColumnWidths(kListMinimumWidth);
    for (int column = 0; column < kColumns; ++column)
        entries->setColumnWidth(column, widths[column]);
    connect(entries, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        pageLogic.selectEntry(entries->indexOfTopLevelItem(item) + 1);
        refresh();
    });

    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(addCommand("Delete", [this] { pageLogic.remove(selectedEntry()); }));
    editButtons->addWidget(addCommand("Change", [this] { pageLogic.change(selectedEntry()); }));
    editButtons->addWidget(addCommand("Insert", [this] { pageLogic.insert(selectedEntry()); }));
    editButtons->addWidget(addCommand("Add", [this] { pageLogic.add(); }));
    editButtons->addWidget(addCommand("Clear List", [this] { pageLogic.clearList(); }));

    auto* result = new QHBoxLayout;
    const auto readOnly = [this, result](const char* label) {
        result->addWidget(new QLabel(QString::fromLatin1(label), this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(label);
        edit->setReadOnly(true);
        edit->setMaximumWidth(kNumberFieldWidth);
        result->addWidget(edit);
        return edit;
    };
    fields->matchNumber = readOnly("MatchNo:");
    fields->deltaE = readOnly("dE:");
    // The formula of the dE shown, chosen on the colour metrics page.
    fields->formula = new QLabel(this);
    fields->formula->setObjectName("DeltaEFormula");
    fields->formula->setToolTip(QStringLiteral("The colour-difference formula of \"dE:\""));
    result->addWidget(fields->formula);
    fields->deltaL = readOnly("dL:");
    result->addWidget(new QLabel(QStringLiteral("OK:"), this));
    okBox = new QLabel(this);
    okBox->setObjectName("OK:");
    okBox->setFixedSize(kOkBoxSize, kOkBoxSize);
    okBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    okBox->setAutoFillBackground(true);
    result->addWidget(okBox);
    result->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(fileButtons);
    left->addWidget(fileName);
    left->addWidget(entries, 1);
    left->addLayout(editButtons);
    left->addLayout(result);

    // Tolerances of the entry in "No:".
    auto* tolerances = new QGridLayout;
    tolerances->addWidget(new QLabel(QStringLiteral("No:"), this), 0, 1);
    tolerances->addWidget(addField("No:", lt::QcField::EntryNumber), 0, 2);
    tolerances->addWidget(addCommand("All", [this] { pageLogic.applyToAll(); }), 0, 3);
    QPushButton* lightLimit = addCommand("SetLLimit", [this] { pageLogic.setLightLimit(); });
    QPushButton* darkLimit = addCommand("SetDLimit", [this] { pageLogic.setDarkLimit(); });
    tolerances->addWidget(lightLimit, 1, 0);
    tolerances->addWidget(new QLabel(QStringLiteral("dELight:"), this), 1, 1);
    tolerances->addWidget(addField("dELight:", lt::QcField::DeltaELight), 1, 2);
    tolerances->addWidget(new QLabel(QStringLiteral("dLLight:"), this), 1, 3);
    tolerances->addWidget(addField("dLLight:", lt::QcField::DeltaLLight), 1, 4);
    tolerances->addWidget(darkLimit, 2, 0);
    tolerances->addWidget(new QLabel(QStringLiteral("dEDark:"), this), 2, 1);
    tolerances->addWidget(addField("dEDark:", lt::QcField::DeltaEDark), 2, 2);
    tolerances->addWidget(new QLabel(QStringLiteral("dLDark:"), this), 2, 3);
    tolerances->addWidget(addField("dLDark:", lt::QcField::DeltaLDark), 2, 4);
    tolerances->setColumnStretch(5, 1);

    plane = new QcGraphicsWidget([this] { return pageLogic.graphicsState(); }, this);
    plane->setObjectName("graphics");

    // The averaged sample, logging and the comment for "Add" and "Insert".
    auto* means = new QHBoxLayout;
    for (auto [label, field] : {std::pair {"L:", lt::QcField::L}, std::pair {"a:", lt::QcField::A},
             std::pair {"b:", lt::QcField::B}}) {
        means->addWidget(new QLabel(QString::fromLatin1(label), this));
        means->addWidget(addField(label, field));
    }
    means->addStretch(1);
    auto* logging = new QHBoxLayout;
    logging->addWidget(new QLabel(QStringLiteral("Average:"), this));
    logging->addWidget(addField("Average:", lt::QcField::Average));
    logging->addWidget(new QLabel(QStringLiteral("dEA:"), this));
    fields->spread = new QLineEdit(this);
    fields->spread->setObjectName("dEA:");
    fields->spread->setReadOnly(true);
    fields->spread->setMaximumWidth(kNumberFieldWidth);
    logging->addWidget(fields->spread);
    logButton = addCommand("Save", [this] { pageLogic.logMatch(); });
    logging->addWidget(logButton);
    logging->addStretch(1);
    auto* commentRow = new QHBoxLayout;
    commentRow->addWidget(new QLabel(QStringLiteral("Comment:"), this));
    QLineEdit* comment = addField("Comment:", lt::QcField::Comment);
    comment->setMaxLength(kCommentMaxLength);
    comment->setMaximumWidth(QWIDGETSIZE_MAX);
    commentRow->addWidget(comment, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(tolerances);
    right->addWidget(plane, 1);
    right->addLayout(means);
    right->addLayout(logging);
    right->addLayout(commentRow);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 0);
    layout->addLayout(right, 1);

    // Each sample measured is judged on this thread, whichever thread measured.
    auto* events = new StationEvents(workstation, this);
    connect(events, &StationEvents::sampleMeasured, this,
        [this](const lt::MeasuredSample& sample) { judge(sample.lab); });
    refresh();
}

QC::~QC() = default;

QLineEdit* QC::addField(const char* name, lt::QcField field)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaximumWidth(kNumberFieldWidth);
    fields->edits[field] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        pageLogic.typed(field, text.toLatin1().toStdString());
        refresh();
    });
    return edit;
}

QPushButton* QC::addCommand(const char* caption, std::function<void()> action)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(caption);
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        action();
        refresh();
    });
    return button;
}

std::optional<int> QC::selectedEntry() const
{
    const QList<QTreeWidgetItem*> selected = entries->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return entries->indexOfTopLevelItem(selected.front()) + 1;
}

void QC::judge(const lt::Lab& lab)
{
    pageLogic.Update(lab);
    refresh();
}

void QC::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (pageLogic.initialised()) {
        pageLogic.showFormula(); // it may have been changed on another tab
        refresh();
        return;
    }
    pageLogic.initialise();
    const std::vector<std::uint8_t> bytes = pageLogic.loadPlanePicture();
    QImage picture;
    if (!bytes.empty())
        picture.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
    plane->setPicture(picture);
    refresh();
}

void QC::printSet()
{
    QPrinter printer(QPrinter::HighResolution);
    const bool chosen = printDialog ? printDialog(printer) : [this, &printer] {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!chosen || !printQcSet(printer, pageLogic.printText(), pageLogic.printClosingLines())) {
        pageLogic.reportNoPrinting();
    }
    refresh();
}

void QC::refresh()
{
    const lt::QcForm& form = pageLogic.form();
    fileName->setText(latin1(form.fileName));
    for (auto [field, edit] : fields->edits) {
        switch (field) {
        case lt::QcField::EntryNumber:
            showText(edit, form.entryNumber);
            break;
        case lt::QcField::DeltaELight:
        case lt::QcField::DeltaLLight:
        case lt::QcField::DeltaEDark:
        case lt::QcField::DeltaLDark:
            showText(edit,
                form.tolerances[static_cast<int>(field) -
                    static_cast<int>(lt::QcField::DeltaELight)]);
            break;
        case lt::QcField::L:
        case lt::QcField::A:
        case lt::QcField::B:
            showText(edit, form.lab[static_cast<int>(field) - static_cast<int>(lt::QcField::L)]);
            break;
        case lt::QcField::Average:
            showText(edit, form.average);
            break;
        case lt::QcField::Comment:
            showText(edit, form.comment);
            break;
        }
    }
    showText(fields->matchNumber, form.matchNumber);
    showText(fields->deltaE, form.deltaE);
    fields->formula->setText(latin1(form.deltaEFormula));
    showText(fields->deltaL, form.deltaL);
    showText(fields->spread, form.spread);
    QPalette palette = okBox->palette();
    palette.setColor(
        QPalette::Window, QColor(form.statusColor.r, form.statusColor.g, form.statusColor.b));
    okBox->setPalette(palette);
    logButton->setEnabled(form.loggingEnabled);
    if (shownRevision != pageLogic.listRevision())
        refillList();
    plane->update();
}

void QC::refillList()
{
    shownRevision = pageLogic.listRevision();
    const lt::QcSet& set = pageLogic.set();
    const std::optional<int> selected = selectedEntry();
    entries->clear();
    QList<QTreeWidgetItem*> items;
    for (int number = 1; number <= set.entryCount; ++number) {
        const lt::QcListRow row = lt::qcListRow(set, number);
        auto* item = new QTreeWidgetItem(QStringList {
            latin1(row.number), latin1(row.comment), latin1(row.l), latin1(row.a), latin1(row.b)});
        for (int column = 0; column < kColumns; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    entries->addTopLevelItems(items);
    if (selected && *selected <= set.entryCount)
        entries->topLevelItem(*selected - 1)->setSelected(true);
}
