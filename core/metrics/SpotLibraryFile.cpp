#include "core/metrics/SpotLibraryFile.h"

#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/SpotColorText.h"
#include "core/metrics/TextFileName.h"
#include "core/settings/Settings.h"
#include "core/station/Operator.h"
#include "core/station/SharedRecord.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

// A spot file holds at most 30 entries of nine short lines; anything past
// this many bytes cannot belong to one and is not read.
constexpr std::size_t kSpotFileReadLimit = 1 << 20;

} // namespace

std::string damagedSpotFileMessage(
    const std::string& path, const SpotFileProblem& problem, std::size_t entriesRead)
{
    return std::string(kDamagedSpotColorFileMessage) + "\n" + path + ", line " +
        formatInteger(problem.line) + ": " + problem.what + ".\n" +
        formatInteger(static_cast<long long>(entriesRead)) +
        (entriesRead == 1 ? " spot colour before it was loaded."
                          : " spot colours before it were loaded.");
}

bool LoadSpotFile(SharedRecord& record, Operator& op, const std::string& path)
{
    std::string text;
    const FileReadResult read = readFileHead(path, kSpotFileReadLimit, text);
    if (read == FileReadResult::CannotOpen)
        return false;
    if (read == FileReadResult::ReadFailed)
        tellOperator(op, kReadFileFailedMessage);

    SpotFileContent content = parseSpotFileText(text);
    if (!content.hasSignature)
        tellOperator(op, std::string(kNoSpotColorFileMessage) + "\n" + path);
    else if (content.problem)
        tellOperator(op, damagedSpotFileMessage(path, *content.problem, content.entries.size()));
    SpotColorLibrary& library = record.spotColors;
    library.clear();
    for (SpotColorEntry& entry : content.entries)
        library.append(std::move(entry));
    library.select(0);
    record.spotFilePath = path;
    return true;
}

bool SaveSpotFile(const SharedRecord& record, Operator& op, const std::string& path)
{
    const SpotColorLibrary& library = record.spotColors;
    std::vector<const SpotColorEntry*> entries;
    for (int place = 1; place <= library.count(); ++place)
        entries.push_back(library.entry(place));
    return writeFileTellingOperator(op, path, formatSpotFileText(entries));
}

std::vector<std::string> spotColorChoices(const SharedRecord& record)
{
    const SpotColorLibrary& library = record.spotColors;
    std::vector<std::string> choices {library.entry(0)->name};
    for (int place = 1; place <= library.count(); ++place) {
        const SpotColorEntry* entry = library.entry(place);
        if (entry && entry->kind != SpotKind::Deleted)
            choices.push_back(entry->name);
    }
    return choices;
}

void selectSpotColorChoice(SharedRecord& record, int position)
{
    record.spotColors.select(record.spotColors.placeOfVisible(position));
    if (position <= 0) {
        record.paperWhiteState = PaperWhiteAbsolute;
        record.spotSolidState = SpotSolidNone;
    }
}

int deleteSpotColorChoice(SharedRecord& record, Settings& settings, Operator& op, int position)
{
    SpotColorLibrary& library = record.spotColors;
    if (position <= 0)
        return position;
    SpotColorEntry* entry = library.entry(library.placeOfVisible(position));
    if (!entry || !entry->isColor())
        return position;

    entry->kind = SpotKind::Deleted;
    library.removeDeleted();
    const int above = position - 1;
    library.select(library.placeOfVisible(above));

    // The compacted library becomes the library file. Compacting happens in
    // memory, so an entry the file cannot carry is still not lost.
    const std::string scratch = spotScratchPath(settings);
    if (!SaveSpotFile(record, op, scratch))
        return above;
    record.spotFilePath = scratch;
    settings.store(keys::kSpotColorFile, scratch);
    return above;
}

bool loadChosenSpotFile(Workstation& workstation)
{
    Settings& settings = workstation.settings();
    const std::string current = settingsRelativePath(settings, settings.load(keys::kSpotColorFile));
    const auto chosen =
        workstation.op().chooseFileToOpen(kLoadSpotColorsTitle, current, kTextFileFilter);
    if (!chosen || chosen->empty()) {
        tellOperator(workstation.op(), kNoValidFileMessage);
        return false;
    }
    settings.store(keys::kSpotColorFile, *chosen);
    LoadSpotFile(workstation.record(), workstation.op(), *chosen);
    return true;
}

bool saveChosenSpotFile(Workstation& workstation)
{
    Settings& settings = workstation.settings();
    const std::string current = settingsRelativePath(settings, settings.load(keys::kSpotColorFile));
    const auto chosen =
        workstation.op().chooseFileToSave(kSaveSpotColorsTitle, current, kTextFileFilter);
    if (!chosen || chosen->empty())
        return false;
    if (!SaveSpotFile(workstation.record(), workstation.op(), *chosen))
        return false;
    workstation.record().spotFilePath = *chosen;
    settings.store(keys::kSpotColorFile, *chosen);
    return true;
}

std::string settingsRelativePath(Settings& settings, const std::string& fileName)
{
    if (fileName.empty() || fileName.front() == '/')
        return fileName;
    return directoryOfPath(settings.applicationFile().path()) + "/" + fileName;
}

std::string spotScratchPath(Settings& settings)
{
    return settingsRelativePath(settings, kSpotScratchFileName);
}

} // namespace lt
