#include "core/qc/QcPageLogic.h"

#include <algorithm>
#include <cmath>

#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/graph/SpectrumGraphPicture.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/SpotLibraryFile.h"
#include "core/metrics/TextFileName.h"
#include "core/qc/QcLogSummary.h"
#include "core/qc/QcSetFile.h"
#include "core/qc/QcText.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

constexpr int kShownDecimals = 2; // "%3.2f"

std::string shown(double value)
{
    return formatFixed(value, kShownDecimals, 3);
}

} // namespace

QcPageLogic::QcPageLogic(Workstation& workstation) : station(workstation)
{
}

void QcPageLogic::initialise()
{
    qcSet = QcSet();
    qcRun = QcRun();
    fields = QcForm();
    currentSample = {};
    loggedFormulas = 0;
    started = true;
    showFormula();
    listChanged();
}

std::vector<std::uint8_t> QcPageLogic::loadPlanePicture()
{
    const std::string path = dataFile(kQcPictureName);
    WelcomePicture picture = readWelcomePicture(path);
    if (picture.status != PictureStatus::Loaded) {
        station.op().showMessage(
            path, kQcPictureMissingCaption, MessageButtons::Ok, MessageIcon::Exclamation);
        return {};
    }
    return std::move(picture.file);
}

void QcPageLogic::Update(const Lab& sample)
{
    if (!started)
        return;
    currentSample = sample;
    judgedBy = deltaEFormula();
    judgeReading(qcSet, qcRun, sample, judgedBy);
    fields.deltaEFormula = deltaEFormulaName(judgedBy);
    const QcGroupOutcome group = finishReading(qcSet, qcRun, readFieldCount(fields.average));
    fields.average = formatInteger(group.averageCount);

    if (qcRun.match > 0) {
        fields.deltaE = shown(qcRun.deltaE);
        fields.deltaL = shown(qcRun.deltaL);
        fields.matchNumber = formatInteger(qcRun.match);
        showEntry(qcRun.match);
    } else {
        fields.deltaE.clear();
        fields.deltaL.clear();
        fields.matchNumber.clear();
    }
    fields.statusColor = qcRun.color;
    for (int i = 0; i < 3; ++i)
        fields.lab[i] = group.complete ? shown(group.means[i]) : kQcGroupInProgressText;
    fields.spread = shown(group.spread);
    fields.loggingEnabled = group.complete;
    fields.comment.clear();
}

void QcPageLogic::typed(QcField field, const std::string& text)
{
    switch (field) {
    case QcField::EntryNumber:
        fields.entryNumber = text;
        if (const int number = addressedEntry(); number > 0)
            for (int i = 0; i < kQcTolerances; ++i)
                fields.tolerances[i] = shown(qcSet.entries[number - 1].tolerances[i]);
        return;
    case QcField::DeltaELight:
    case QcField::DeltaLLight:
    case QcField::DeltaEDark:
    case QcField::DeltaLDark: {
        const int which = static_cast<int>(field) - static_cast<int>(QcField::DeltaELight);
        fields.tolerances[which] = text;
        qcSet.setTolerance(
            addressedEntry(), static_cast<QcTolerance>(which), readFieldNumber(text));
        return;
    }
    case QcField::L:
    case QcField::A:
    case QcField::B:
        fields.lab[static_cast<int>(field) - static_cast<int>(QcField::L)] = text;
        return;
    case QcField::Average:
        fields.average = text;
        return;
    case QcField::Comment:
        fields.comment = text;
        return;
    }
}

void QcPageLogic::selectEntry(int number)
{
    typed(QcField::EntryNumber, formatInteger(number));
}

void QcPageLogic::loadSet()
{
    Settings& settings = station.settings();
    const std::string start =
        settingsRelativePath(settings, settings.load(keys::kQualityControlFile));
    const auto chosen = station.op().chooseFileToOpen(kQcOpenTitle, start, kTextFileFilter);
    if (!chosen || chosen->empty()) {
        tell(kNoValidFileMessage);
        return;
    }
    settings.store(keys::kQualityControlFile, *chosen);
    if (!readQcSetFile(*chosen, qcSet, station.op()))
        return;

    lastPath = *chosen;
    loggedFormulas = 0;
    fields.fileName = *chosen;
    fields.matchNumber.clear();
    fields.deltaE.clear();
    fields.deltaL.clear();
    for (std::string& text : fields.lab)
        text.clear();
    fields.average = formatInteger(qcSet.averageCount);
    qcRun.match = 0;
    qcRun.status = QcStatus::None;
    qcRun.color = kQcWhite;
    fields.statusColor = kQcWhite;
    if (qcSet.entryCount > 0) {
        showEntry(1);
        fields.comment.clear();
    } else {
        emptyEntryFields();
    }
    listChanged();
}

void QcPageLogic::saveSet()
{
    Settings& settings = station.settings();
    const std::string start =
        settingsRelativePath(settings, settings.load(keys::kQualityControlFile));
    const auto chosen = station.op().chooseFileToSave(kQcSaveTitle, start, kTextFileFilter);
    if (!chosen || chosen->empty())
        return;
    prepareForWriting();
    qcSet.customer = *chosen;
    if (!writeQcSetFile(*chosen, qcSet, station.op()))
        return;
    settings.store(keys::kQualityControlFile, *chosen);
    lastPath = *chosen;
    fields.fileName = *chosen;
}

void QcPageLogic::add()
{
    if (fields.lab[0].empty()) {
        tell(kQcNothingToAddMessage);
        return;
    }
    const Lab lab {readFieldNumber(fields.lab[0]), readFieldNumber(fields.lab[1]),
        readFieldNumber(fields.lab[2])};
    if (qcSet.appendEntry(lab, fields.comment) == QcEditResult::ListFull) {
        tell(kQcListFullMessage);
        return;
    }
    showEntry(qcSet.entryCount);
    listChanged();
}

void QcPageLogic::insert(std::optional<int> selected)
{
    if (!selected || !qcSet.entry(*selected)) {
        tell(kQcNoItemSelectedMessage);
        return;
    }
    if (readFieldNumber(fields.lab[0]) == 0.0) {
        tell(kQcNothingToInsertMessage);
        return;
    }
    const Lab lab {readFieldNumber(fields.lab[0]), readFieldNumber(fields.lab[1]),
        readFieldNumber(fields.lab[2])};
    qcSet.replaceEntry(*selected, lab, fields.comment);
    listChanged();
}

void QcPageLogic::change(std::optional<int> selected)
{
    const QcEntry* entry = selected ? qcSet.entry(*selected) : nullptr;
    if (!entry) {
        tell(kQcNoItemSelectedMessage);
        return;
    }
    fields.comment = qcSet.comments[*selected - 1].substr(0, kQcEnteredCommentLength);
    for (int i = 0; i < 3; ++i)
        fields.lab[i] = shown(entry->lab[i]);
    currentSample = entry->lab;
    // The entry becomes the current sample of the shared record too, unless
    // a measurement is writing it right now.
    if (InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin())
        for (int i = 0; i < 3; ++i)
            station.record().measurement.ColorTriple1[i] = static_cast<float>(entry->lab[i]);
}

void QcPageLogic::remove(std::optional<int> selected)
{
    if (!selected || qcSet.deleteEntry(*selected) != QcEditResult::Done) {
        tell(kQcNoItemSelectedMessage);
        return;
    }
    if (qcSet.entryCount > 0)
        showEntry(1);
    else
        emptyEntryFields();
    listChanged();
}

void QcPageLogic::clearList()
{
    const MessageAnswer answer = station.op().showMessage(
        kQcClearQuestion, kQcClearCaption, MessageButtons::YesNo, MessageIcon::Exclamation);
    if (answer != MessageAnswer::Yes)
        return;
    qcSet.clearEntries(std::clamp<long long>(readFieldCount(fields.entryNumber), 0, kQcMaxEntries));
    qcRun.color = kQcWhite;
    fields.statusColor = kQcWhite;
    fields.matchNumber.clear();
    fields.deltaE.clear();
    fields.deltaL.clear();
    emptyEntryFields();
    listChanged();
}

void QcPageLogic::logMatch()
{
    if (!fields.loggingEnabled)
        return;
    QcMatch match;
    match.matchedEntry = qcRun.match;
    match.status = qcRun.status;
    for (int i = 0; i < 3; ++i)
        match.lab[i] = readFieldNumber(fields.lab[i]);
    match.deltaE = readFieldNumber(fields.deltaE);
    match.deltaL = readFieldNumber(fields.deltaL);
    match.deltaA = qcRun.deltaA;
    match.deltaB = qcRun.deltaB;
    if (qcSet.logMatch(match) == QcEditResult::LogFull) {
        tell(kQcLogFullMessage);
        return;
    }
    loggedFormulas |= 1u << static_cast<unsigned>(judgedBy);
}

void QcPageLogic::setLightLimit()
{
    setLimit(true);
}

void QcPageLogic::setDarkLimit()
{
    setLimit(false);
}

void QcPageLogic::setLimit(bool light)
{
    if (fields.deltaE.empty())
        return;
    const double deltaE = readFieldNumber(fields.deltaE);
    const double deltaL = readFieldNumber(fields.deltaL);
    const int first = static_cast<int>(light ? QcTolerance::DeltaELight : QcTolerance::DeltaEDark);
    fields.tolerances[first] = fields.deltaE;
    fields.tolerances[first + 1] = shown(std::fabs(deltaL));
    qcSet.setLimits(addressedEntry(), light, deltaE, deltaL);
}

void QcPageLogic::applyToAll()
{
    QcTolerances values {};
    for (int i = 0; i < kQcTolerances; ++i)
        values[i] = readFieldNumber(fields.tolerances[i]);
    qcSet.setToleranceAll(values);
}

std::string QcPageLogic::printText()
{
    prepareForWriting();
    qcSet.customer = lastPath;
    return ComposeQcText(qcSet);
}

std::vector<std::string> QcPageLogic::printClosingLines() const
{
    std::string formulaLine =
        "Colour differences by " + std::string(deltaEFormulaName(deltaEFormula()));
    std::string logged;
    for (int i = 0; i < kDeltaEFormulaCount; ++i)
        if (loggedFormulas & (1u << i))
            logged += (logged.empty() ? "" : ", ") +
                std::string(deltaEFormulaName(deltaEFormulaFromIndex(i)));
    if (!logged.empty())
        formulaLine += "; the logged matches by " + logged;
    std::vector<std::string> lines {formulaLine};
    for (std::string& line : qcLogSummaryLines(summariseLog(qcSet)))
        lines.push_back(std::move(line));
    return lines;
}

DeltaEFormula QcPageLogic::deltaEFormula() const
{
    return deltaEFormulaFromIndex(station.settings().peek(keys::kDeltaEFormula));
}

void QcPageLogic::showFormula()
{
    if (fields.deltaE.empty())
        fields.deltaEFormula = deltaEFormulaName(deltaEFormula());
}

void QcPageLogic::reportNoPrinting()
{
    tell(kQcNoPrintingMessage);
}

QcGraphicsState QcPageLogic::graphicsState() const
{
    QcGraphicsState state;
    // While a group is in progress the plane follows its running mean.
    const bool groupInProgress = qcRun.reading != 1;
    state.pointA = groupInProgress ? qcRun.means[1] : currentSample[1];
    state.pointB = groupInProgress ? qcRun.means[2] : currentSample[2];
    if (const QcEntry* matched = qcSet.entry(qcRun.match))
        state.matched = std::array<double, 2> {matched->lab[1], matched->lab[2]};
    state.deltaL = readFieldNumber(fields.deltaL);
    state.deltaLLight =
        readFieldNumber(fields.tolerances[static_cast<int>(QcTolerance::DeltaLLight)]);
    state.deltaLDark =
        readFieldNumber(fields.tolerances[static_cast<int>(QcTolerance::DeltaLDark)]);
    state.lightness = readFieldNumber(fields.lab[0]);
    return state;
}

int QcPageLogic::addressedEntry() const
{
    const long long number = readFieldCount(fields.entryNumber);
    if (number < 1)
        return 0;
    return static_cast<int>(std::min<long long>(number, kQcMaxEntries));
}

void QcPageLogic::showEntry(int number)
{
    fields.entryNumber = formatInteger(number);
    for (int i = 0; i < kQcTolerances; ++i)
        fields.tolerances[i] = shown(qcSet.entries[number - 1].tolerances[i]);
}

void QcPageLogic::emptyEntryFields()
{
    fields.entryNumber.clear();
    for (std::string& text : fields.tolerances)
        text.clear();
}

void QcPageLogic::tell(const char* text)
{
    tellOperator(station.op(), text);
}

void QcPageLogic::prepareForWriting()
{
    const DensityParameterBlock block = station.record().densityParameterSnapshot();
    prepareQcSetForWriting(qcSet, block.integer(slot::kIllumType),
        block.integer(slot::kObserverType), readFieldCount(fields.average));
    fields.average = formatInteger(qcSet.averageCount);
}

} // namespace lt
