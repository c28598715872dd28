#pragma once
// An in-memory spreadsheet application for the client's tests: workbooks
// on a fake disk, sheets with cells by name, a window state, and switches
// that make the application missing or a call fail.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/spreadsheet/SpreadsheetAutomation.h"

namespace lt::test {

struct FakeOffice {
    bool installed = true;
    std::set<std::string> filesOnDisk; // workbooks that open
    std::map<std::string, std::vector<std::string>> sheetsOfFile; // default {"Sheet1"}
    std::set<std::string> failingCalls; // names of calls that throw
    // What happened, for the story of a test.
    std::vector<std::string> calls;
    std::map<std::string, std::map<std::string, CellValue>> cells; // sheet -> cell -> value
    std::map<std::string, std::string> stored; // path -> active sheet at the time
    bool visible = false;
    bool running = false;
    int quits = 0;
    std::function<void()> closedHandler;

    void closeWorkbookFromOutside()
    {
        if (closedHandler)
            closedHandler();
    }
};

class FakeSpreadsheet : public SpreadsheetAutomation {
public:
    explicit FakeSpreadsheet(FakeOffice& office) : office(office) { }

    bool start() override
    {
        note("start");
        office.running = office.installed;
        return office.installed;
    }
    int workbookCount() override { return note("workbookCount"), 0; }
    void useFirstWorkbook() override { note("useFirstWorkbook"); }
    void createWorkbook() override
    {
        note("createWorkbook");
        sheets = {"Sheet1"};
    }
    void openWorkbook(const std::string& path) override
    {
        note("openWorkbook");
        if (!office.filesOnDisk.count(path))
            throw AutomationFailure("no such file");
        auto known = office.sheetsOfFile.find(path);
        sheets = known != office.sheetsOfFile.end() ? known->second
                                                    : std::vector<std::string> {"Sheet1"};
    }
    int sheetCount() override { return note("sheetCount"), static_cast<int>(sheets.size()); }
    void addSheet() override { sheets.push_back("Sheet" + std::to_string(sheets.size() + 1)); }
    std::string sheetName(int index) override
    {
        note("sheetName");
        return sheets.at(index - 1);
    }
    void selectSheet(int index) override
    {
        note("selectSheet");
        current = sheets.at(index - 1);
    }
    void selectSheet(const std::string& name) override
    {
        note("selectSheet");
        for (const std::string& sheet : sheets)
            if (sheet == name) {
                current = name;
                return;
            }
        throw AutomationFailure("no such sheet");
    }
    void activateSheet() override { note("activateSheet"); }
    void setCell(const std::string& cellName, const CellValue& value) override
    {
        note("setCell");
        office.cells[current][cellName] = value;
    }
    void activateCell(const std::string&) override { note("activateCell"); }
    void setVisible(bool visible) override
    {
        note("setVisible");
        office.visible = visible;
    }
    void activateWorkbook() override { note("activateWorkbook"); }
    void maximiseWindow() override { note("maximiseWindow"); }
    void restoreWindow() override { note("restoreWindow"); }
    void placeWindow(int, int, int, int) override { note("placeWindow"); }
    void storeCopy(const std::string& path) override
    {
        note("storeCopy");
        office.stored[path] = current;
    }
    void onWorkbookClosed(std::function<void()> handler) override
    {
        note("onWorkbookClosed");
        office.closedHandler = std::move(handler);
    }
    void stopWatchingWorkbook() override { office.closedHandler = nullptr; }
    void closeWorkbook() override { note("closeWorkbook"); }
    void quit() override
    {
        note("quit");
        office.running = false;
        ++office.quits;
    }

private:
    void note(const std::string& call)
    {
        office.calls.push_back(call);
        if (office.failingCalls.count(call))
            throw AutomationFailure(call + " failed");
    }

    FakeOffice& office;
    std::vector<std::string> sheets;
    std::string current;
};

inline std::function<std::unique_ptr<SpreadsheetAutomation>()> fakeFactory(FakeOffice& office)
{
    return [&office] { return std::make_unique<FakeSpreadsheet>(office); };
}

} // namespace lt::test
