#include "core/qc/QcSet.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr int kListDecimals = 2;

struct NamedCode {
    const char* name;
    std::int32_t code;
};

constexpr NamedCode kIlluminantCodes[] = {{"D50", 20}, {"D65", 30}, {"A", 10}, {"C", 11}, {"N", 1}};
constexpr NamedCode kObserverCodes[] = {{"2", 1}, {"10", 2}};

template <std::size_t N>
std::int32_t codeOfName(const NamedCode (&table)[N], std::string_view name)
{
    for (const NamedCode& known : table)
        if (name == known.name)
            return known.code;
    return 0;
}

// A comment as the set keeps it: at most length characters, and no tab or
// line break that would split its line in the file.
std::string cut(std::string_view text, std::size_t length)
{
    std::string kept(text.substr(0, length));
    for (char& c : kept)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return kept;
}

Lab boundedLab(const Lab& lab)
{
    return {qcBoundedValue(lab[0]), qcBoundedValue(lab[1]), qcBoundedValue(lab[2])};
}

// A value as the list shows it ("%3.2f") and read back.
double asListed(double value)
{
    return parseReal(formatFixed(value, kListDecimals)).value_or(0.0);
}

} // namespace

char qcStatusLetter(QcStatus status)
{
    switch (status) {
    case QcStatus::NotOk:
        return 'N';
    case QcStatus::LightnessOut:
        return 'L';
    case QcStatus::Ok:
        return 'Y';
    case QcStatus::None:
        break;
    }
    return '-';
}

QcStatus qcStatusOfLetter(char letter)
{
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'N':
        return QcStatus::NotOk;
    case 'L':
        return QcStatus::LightnessOut;
    case 'Y':
        return QcStatus::Ok;
    default:
        return QcStatus::None;
    }
}

QcRgb qcStatusColor(QcStatus status)
{
    switch (status) {
    case QcStatus::NotOk:
        return {255, 0, 0};
    case QcStatus::LightnessOut:
        return {255, 255, 0};
    case QcStatus::Ok:
        return {0, 255, 0};
    case QcStatus::None:
        break;
    }
    return kQcWhite;
}

double qcBoundedValue(double value)
{
    if (std::isnan(value))
        return 0.0;
    return std::clamp(value, -kQcValueLimit, kQcValueLimit);
}

QcSet::QcSet()
{
    for (int slot = 0; slot < kQcMaxEntries; ++slot) {
        if (slot < kQcEntriesWithDefaultTolerances)
            entries[slot].tolerances = {
                kQcDefaultDeltaE, kQcDefaultDeltaL, kQcDefaultDeltaE, kQcDefaultDeltaL};
    }
}

const QcEntry* QcSet::entry(int number) const
{
    if (number < 1 || number > entryCount)
        return nullptr;
    return &entries[number - 1];
}

QcEditResult QcSet::appendEntry(const Lab& lab, std::string_view comment)
{
    if (entryCount >= kQcMaxEntries)
        return QcEditResult::ListFull;
    QcEntry& added = entries[entryCount];
    added.number = entryCount + 1;
    added.lab = boundedLab(lab);
    comments[entryCount] = cut(comment, kQcEnteredCommentLength);
    ++entryCount;
    return QcEditResult::Done;
}

QcEditResult QcSet::replaceEntry(int number, const Lab& lab, std::string_view comment)
{
    if (number < 1 || number > entryCount)
        return QcEditResult::NoSuchEntry;
    entries[number - 1].lab = boundedLab(lab);
    comments[number - 1] = cut(comment, kQcEnteredCommentLength);
    return QcEditResult::Done;
}

QcEditResult QcSet::deleteEntry(int number)
{
    if (number < 1 || number > entryCount)
        return QcEditResult::NoSuchEntry;
    for (int slot = number - 1; slot + 1 < entryCount; ++slot) {
        const QcEntry& below = entries[slot + 1];
        QcEntry& moved = entries[slot];
        moved.number = slot + 1;
        for (int i = 0; i < 3; ++i)
            moved.lab[i] = asListed(below.lab[i]);
        comments[slot] = comments[slot + 1];
    }
    // The entries above the removed one are written back as listed too.
    for (int slot = 0; slot < number - 1; ++slot)
        for (double& value : entries[slot].lab)
            value = asListed(value);
    --entryCount;
    return QcEditResult::Done;
}

void QcSet::clearEntries(int upToNumber)
{
    const int last = std::clamp(upToNumber, 0, kQcMaxEntries);
    for (int slot = 0; slot < last; ++slot)
        entries[slot].tolerances = {};
    entryCount = 0;
}

QcEditResult QcSet::setTolerance(int number, QcTolerance which, double typed)
{
    if (number < 1 || number > kQcMaxEntries)
        return QcEditResult::NoSuchEntry;
    entries[number - 1].tolerances[static_cast<int>(which)] =
        typed > 0.0 && typed < kQcToleranceLimit ? typed : 0.0;
    return QcEditResult::Done;
}

void QcSet::setToleranceAll(const QcTolerances& values)
{
    for (int slot = 0; slot < entryCount; ++slot)
        for (int i = 0; i < kQcTolerances; ++i)
            entries[slot].tolerances[i] = qcBoundedValue(values[i]);
}

QcEditResult QcSet::setLimits(int number, bool light, double deltaE, double deltaL)
{
    if (number < 1 || number > kQcMaxEntries)
        return QcEditResult::NoSuchEntry;
    QcTolerances& tolerances = entries[number - 1].tolerances;
    const QcTolerance e = light ? QcTolerance::DeltaELight : QcTolerance::DeltaEDark;
    const QcTolerance l = light ? QcTolerance::DeltaLLight : QcTolerance::DeltaLDark;
    tolerances[static_cast<int>(e)] = qcBoundedValue(std::fabs(deltaE));
    tolerances[static_cast<int>(l)] = qcBoundedValue(std::fabs(deltaL));
    return QcEditResult::Done;
}

QcEditResult QcSet::logMatch(QcMatch match)
{
    if (matchCount >= kQcMaxMatches)
        return QcEditResult::LogFull;
    match.recordNumber = matchCount + 1;
    match.lab = boundedLab(match.lab);
    for (double* value : {&match.deltaE, &match.deltaL, &match.deltaA, &match.deltaB})
        *value = qcBoundedValue(*value);
    matches[matchCount] = match;
    ++matchCount;
    return QcEditResult::Done;
}

void QcSet::setIlluminant(std::string_view name)
{
    illuminantName = cut(name, kQcNameLength);
    illuminantCode = codeOfName(kIlluminantCodes, illuminantName);
}

void QcSet::setObserver(std::string_view name)
{
    observerName = cut(name, kQcNameLength);
    observerCode = codeOfName(kObserverCodes, observerName);
}

QcListRow qcListRow(const QcSet& set, int number)
{
    QcListRow row;
    const QcEntry* shown = set.entry(number);
    if (!shown)
        return row;
    row.number = formatInteger(number);
    row.comment = set.comments[number - 1];
    row.l = formatFixed(shown->lab[0], kListDecimals, 3);
    row.a = formatFixed(shown->lab[1], kListDecimals, 3);
    row.b = formatFixed(shown->lab[2], kListDecimals, 3);
    return row;
}

} // namespace lt
