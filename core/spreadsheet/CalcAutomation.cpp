// The spreadsheet application on Linux: LibreOffice Calc, started as a
// process of its own with a private profile and reached through its UNO
// automation interface over a named pipe. Excel's automation members map to
// Calc as follows: the application object to the desktop and its component
// loader, a workbook to a spreadsheet document (loaded hidden, shown through
// its frame's container window), worksheets to the document's sheets by
// index and name, a range to a cell by name, SaveCopyAs to storeToURL with a
// filter chosen by the file's extension, the window's state and place to the
// container window, and the workbook's BeforeClose event to a close
// listener on the document.
#include "core/spreadsheet/SpreadsheetAutomation.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <com/sun/star/awt/PosSize.hpp>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/EventObject.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseBroadcaster.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>

namespace lt {
namespace {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringToOString;

constexpr const char* kProgramFolder = LTRAKW_OFFICE_PROGRAM_DIR;
constexpr std::chrono::seconds kStartTimeout {45};
constexpr std::chrono::milliseconds kConnectRetry {150};
constexpr std::chrono::seconds kQuitTimeout {10};

OUString toUno(const std::string& text)
{
    return OUString::fromUtf8(text.c_str());
}
std::string fromUno(const OUString& text)
{
    return OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

std::string fileUrl(const std::string& path)
{
    OUString url;
    std::string absolute = std::filesystem::absolute(path).string();
    if (osl::FileBase::getFileURLFromSystemPath(toUno(absolute), url) != osl::FileBase::E_None)
        throw AutomationFailure("not a file path: " + path);
    return fromUno(url);
}

css::beans::PropertyValue property(const char* name, const Any& value)
{
    css::beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

Sequence<css::beans::PropertyValue> properties(
    std::initializer_list<css::beans::PropertyValue> values)
{
    return Sequence<css::beans::PropertyValue>(
        values.begin(), static_cast<sal_Int32>(values.size()));
}

// The store filter of a file name's extension; Excel 97 for anything else,
// as a workbook without a known extension is stored as ".xls".
const char* filterOfPath(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".xlsx")
        return "Calc MS Excel 2007 XML";
    if (extension == ".ods")
        return "calc8";
    if (extension == ".csv")
        return "Text - txt - csv (StarCalc)";
    return "MS Excel 97";
}

// The local side of the bridge: bootstrapped once per process from the
// office's own type libraries.
Reference<css::uno::XComponentContext> localContext()
{
    static std::once_flag once;
    static Reference<css::uno::XComponentContext> context;
    std::call_once(once, [] {
        std::string bootstrap =
            std::string("vnd.sun.star.pathname:") + kProgramFolder + "/fundamentalrc";
        ::setenv("URE_BOOTSTRAP", bootstrap.c_str(), 0);
        context = cppu::defaultBootstrap_InitialComponentContext();
    });
    return context;
}

class CloseListener : public cppu::WeakImplHelper1<css::util::XCloseListener> {
public:
    explicit CloseListener(std::function<void()> handler) : handler(std::move(handler)) { }
    void SAL_CALL queryClosing(const css::lang::EventObject&, sal_Bool) override { }
    void SAL_CALL notifyClosing(const css::lang::EventObject&) override
    {
        if (handler)
            handler();
    }
    void SAL_CALL disposing(const css::lang::EventObject&) override { }

private:
    std::function<void()> handler;
};

class CalcAutomation : public SpreadsheetAutomation {
public:
    ~CalcAutomation() override { endProcess(); }

    bool start() override
    {
        std::string soffice = std::string(kProgramFolder) + "/soffice";
        if (const char* override = std::getenv("LTRAKW_SOFFICE"))
            soffice = override;
        if (::access(soffice.c_str(), X_OK) != 0)
            return false;
        static std::atomic<int> startCount {0};
        pipeName = "ltrakw_" + std::to_string(::getpid()) + "_" + std::to_string(startCount++);
        // A fixed pipe lets a support engineer's tool (or a test) connect too.
        if (const char* pipe = std::getenv("LTRAKW_CALC_PIPE"); pipe && *pipe)
            pipeName = pipe;
        // A private profile for this start, so that neither the operator's own
        // LibreOffice nor a second workstation shares the office process.
        profile = std::filesystem::temp_directory_path() / ("ltrakw-calc-" + pipeName);
        std::filesystem::create_directories(profile);

        std::vector<std::string> arguments = {soffice,
            "-env:UserInstallation=" + fileUrl(profile.string()),
            "--accept=pipe,name=" + pipeName + ";urp;", "--norestore", "--nologo", "--nodefault",
            "--nolockcheck", "--nofirststartwizard"};
        const char* headless = std::getenv("LTRAKW_CALC_HEADLESS");
        if ((headless && *headless == '1') ||
            (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")))
            arguments.push_back("--headless");
        process = ::fork();
        if (process < 0)
            return false;
        if (process == 0) {
            ::setpgid(0, 0);
            // The office ends with the program, also when the program is killed.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return connect();
    }

    int workbookCount() override
    {
        int count = 0;
        forEachSpreadsheet([&](const Reference<css::lang::XComponent>&) { ++count; });
        return count;
    }

    void useFirstWorkbook() override
    {
        Reference<css::lang::XComponent> first;
        forEachSpreadsheet([&](const Reference<css::lang::XComponent>& component) {
            if (!first.is())
                first = component;
        });
        if (!first.is())
            throw AutomationFailure("no workbook");
        setDocument(first);
    }

    void createWorkbook() override { load("private:factory/scalc"); }

    void openWorkbook(const std::string& path) override
    {
        if (!std::filesystem::is_regular_file(path))
            throw AutomationFailure("no such workbook: " + path);
        load(fileUrl(path));
    }

    int sheetCount() override { return sheetsByIndex()->getCount(); }

    void addSheet() override
    {
        Reference<css::sheet::XSpreadsheets> sheets = spreadsheets();
        OUString name = OUString::createFromAscii("Sheet") + OUString::number(sheetCount() + 1);
        sheets->insertNewByName(name, static_cast<sal_Int16>(sheetCount()));
    }

    std::string sheetName(int index) override
    {
        Reference<css::container::XNamed> named(sheetAt(index), UNO_QUERY_THROW);
        return fromUno(named->getName());
    }

    void selectSheet(int index) override
    {
        sheet = sheetAt(index);
        lastCell.clear();
    }

    void selectSheet(const std::string& name) override
    {
        Reference<css::container::XNameAccess> byName(spreadsheets(), UNO_QUERY_THROW);
        if (!byName->hasByName(toUno(name)))
            throw AutomationFailure("no sheet " + name);
        sheet.set(byName->getByName(toUno(name)), UNO_QUERY_THROW);
        lastCell.clear();
    }

    // Activating the sheet that is already active costs a repaint in the
    // office: it is skipped (the operator may have chosen another one in
    // the meantime, so the view is asked).
    void activateSheet() override
    {
        if (!sheet.is())
            return;
        const Reference<css::sheet::XSpreadsheetView>& view = spreadsheetView();
        if (view.is() && view->getActiveSheet() != sheet)
            view->setActiveSheet(sheet);
    }

    void setCell(const std::string& cellName, const CellValue& value) override
    {
        Reference<css::table::XCell> cell = cellNamed(cellName);
        lastCell = cell;
        lastCellName = cellName;
        if (const long* number = std::get_if<long>(&value)) {
            cell->setValue(static_cast<double>(*number));
        } else if (const double* real = std::get_if<double>(&value)) {
            cell->setValue(*real);
        } else {
            Reference<css::text::XText> text(cell, UNO_QUERY_THROW);
            text->setString(toUno(std::get<std::string>(value)));
        }
    }

    void activateCell(const std::string& cellName) override
    {
        if (!selection.is())
            selection.set(controller(), UNO_QUERY);
        if (!selection.is())
            return;
        // The cell just written is at hand; another is looked up.
        Any cell = cellName == lastCellName && lastCell.is()
            ? Any(lastCell)
            : Any(requireSheet()->getCellRangeByName(toUno(cellName)));
        selection->select(cell);
    }

    void setVisible(bool visible) override { window()->setVisible(visible); }

    void activateWorkbook() override
    {
        Reference<css::frame::XFrame> frame = controller()->getFrame();
        frame->activate();
        Reference<css::awt::XTopWindow2> top(frame->getContainerWindow(), UNO_QUERY);
        if (top.is())
            top->toFront();
    }

    void maximiseWindow() override
    {
        Reference<css::awt::XTopWindow2> top(window(), UNO_QUERY_THROW);
        top->setIsMaximized(true);
    }

    void restoreWindow() override
    {
        Reference<css::awt::XTopWindow2> top(window(), UNO_QUERY_THROW);
        top->setIsMinimized(false);
        top->setIsMaximized(false);
    }

    void placeWindow(int left, int top, int width, int height) override
    {
        window()->setPosSize(left, top, width, height, css::awt::PosSize::POSSIZE);
    }

    // Written in full beside the target and renamed over it, so that a failed
    // store never destroys the previous workbook.
    void storeCopy(const std::string& path) override
    {
        std::filesystem::path target = std::filesystem::absolute(path);
        if (!std::filesystem::is_directory(target.parent_path()))
            throw AutomationFailure("no folder " + target.parent_path().string());
        std::filesystem::path temporary = target.parent_path() /
            ("." + target.stem().string() + ".ltrakw-" + std::to_string(::getpid()) +
                target.extension().string());
        Reference<css::frame::XStorable> storable(requireDocument(), UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> storeProperties =
            properties({property("FilterName", Any(OUString::createFromAscii(filterOfPath(path)))),
                property("Overwrite", Any(true))});
        try {
            storable->storeToURL(toUno(fileUrl(temporary.string())), storeProperties);
        } catch (const css::uno::Exception& failure) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw AutomationFailure(fromUno(failure.Message));
        }
        std::error_code renamed;
        std::filesystem::rename(temporary, target, renamed);
        if (renamed) {
            std::filesystem::remove(temporary, renamed);
            throw AutomationFailure("could not replace " + target.string());
        }
    }

    void onWorkbookClosed(std::function<void()> handler) override
    {
        stopWatchingWorkbook();
        Reference<css::util::XCloseBroadcaster> broadcaster(requireDocument(), UNO_QUERY_THROW);
        listener = new CloseListener(std::move(handler));
        broadcaster->addCloseListener(listener);
    }

    void stopWatchingWorkbook() override
    {
        if (!listener.is() || !document.is())
            return;
        try {
            Reference<css::util::XCloseBroadcaster> broadcaster(document, UNO_QUERY);
            if (broadcaster.is())
                broadcaster->removeCloseListener(listener);
        } catch (const css::uno::Exception&) {
        }
        listener.clear();
    }

    void closeWorkbook() override
    {
        if (!document.is())
            return;
        Reference<css::util::XModifiable> modifiable(document, UNO_QUERY);
        if (modifiable.is())
            modifiable->setModified(false);
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY_THROW);
        closeable->close(true);
        document.clear();
        sheet.clear();
        forgetView();
    }

    void quit() override
    {
        try {
            if (desktop.is())
                desktop->terminate();
        } catch (const css::uno::Exception&) {
            // The office ends while it answers; the process is awaited below.
        }
        desktop.clear();
        document.clear();
        sheet.clear();
        endProcess();
    }

private:
    bool connect()
    {
        try {
            Reference<css::uno::XComponentContext> local = localContext();
            Reference<css::bridge::XUnoUrlResolver> resolver =
                css::bridge::UnoUrlResolver::create(local);
            OUString url = toUno("uno:pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext");
            auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
            while (std::chrono::steady_clock::now() < deadline) {
                if (processEnded())
                    return false;
                try {
                    Reference<css::uno::XComponentContext> remote(
                        resolver->resolve(url), UNO_QUERY_THROW);
                    desktop = css::frame::Desktop::create(remote);
                    return true;
                } catch (const css::uno::Exception&) {
                    std::this_thread::sleep_for(kConnectRetry);
                }
            }
        } catch (const css::uno::Exception&) {
        }
        endProcess();
        return false;
    }

    bool processEnded()
    {
        if (process <= 0)
            return true;
        int status = 0;
        if (::waitpid(process, &status, WNOHANG) == process) {
            process = -1;
            return true;
        }
        return false;
    }

    void endProcess()
    {
        removeProfile();
        if (process <= 0)
            return;
        auto deadline = std::chrono::steady_clock::now() + kQuitTimeout;
        while (!processEnded() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (process > 0) {
            ::kill(-process, SIGKILL);
            ::waitpid(process, nullptr, 0);
            process = -1;
        }
        removeProfile();
    }

    void removeProfile()
    {
        if (process > 0 || profile.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(profile, ignored);
        profile.clear();
    }

    void load(const std::string& url)
    {
        Reference<css::frame::XComponentLoader> loader(requireDesktop(), UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> loadProperties =
            properties({property("Hidden", Any(true))});
        Reference<css::lang::XComponent> loaded;
        try {
            loaded = loader->loadComponentFromURL(toUno(url), toUno("_blank"), 0, loadProperties);
        } catch (const css::uno::Exception& failure) {
            throw AutomationFailure(fromUno(failure.Message));
        }
        if (!Reference<css::sheet::XSpreadsheetDocument>(loaded, UNO_QUERY).is()) {
            Reference<css::util::XCloseable> closeable(loaded, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            throw AutomationFailure("not a workbook: " + url);
        }
        setDocument(loaded);
    }

    void setDocument(const Reference<css::lang::XComponent>& component)
    {
        document = component;
        sheet.clear();
        forgetView();
    }

    // The view of the workbook, kept because every cell write activates.
    const Reference<css::sheet::XSpreadsheetView>& spreadsheetView()
    {
        if (!view.is())
            view.set(controller(), UNO_QUERY);
        return view;
    }

    void forgetView()
    {
        view.clear();
        selection.clear();
        lastCell.clear();
        lastCellName.clear();
    }

    template <class Visit>
    void forEachSpreadsheet(Visit visit)
    {
        Reference<css::container::XEnumerationAccess> components =
            requireDesktop()->getComponents();
        Reference<css::container::XEnumeration> all = components->createEnumeration();
        while (all->hasMoreElements()) {
            Reference<css::lang::XComponent> component(all->nextElement(), UNO_QUERY);
            if (Reference<css::sheet::XSpreadsheetDocument>(component, UNO_QUERY).is())
                visit(component);
        }
    }

    const Reference<css::frame::XDesktop2>& requireDesktop()
    {
        if (!desktop.is())
            throw AutomationFailure("LibreOffice Calc is not running");
        return desktop;
    }

    const Reference<css::lang::XComponent>& requireDocument()
    {
        if (!document.is())
            throw AutomationFailure("no workbook");
        return document;
    }

    const Reference<css::sheet::XSpreadsheet>& requireSheet()
    {
        if (!sheet.is())
            throw AutomationFailure("no worksheet");
        return sheet;
    }

    Reference<css::sheet::XSpreadsheets> spreadsheets()
    {
        Reference<css::sheet::XSpreadsheetDocument> workbook(requireDocument(), UNO_QUERY_THROW);
        return workbook->getSheets();
    }

    Reference<css::container::XIndexAccess> sheetsByIndex()
    {
        return Reference<css::container::XIndexAccess>(spreadsheets(), UNO_QUERY_THROW);
    }

    Reference<css::sheet::XSpreadsheet> sheetAt(int index)
    {
        Reference<css::container::XIndexAccess> sheets = sheetsByIndex();
        if (index < 1 || index > sheets->getCount())
            throw AutomationFailure("no sheet " + std::to_string(index));
        return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(index - 1), UNO_QUERY_THROW);
    }

    Reference<css::table::XCell> cellNamed(const std::string& cellName)
    {
        Reference<css::table::XCellRange> range =
            requireSheet()->getCellRangeByName(toUno(cellName));
        return range->getCellByPosition(0, 0);
    }

    Reference<css::frame::XController> controller()
    {
        Reference<css::frame::XModel> model(requireDocument(), UNO_QUERY_THROW);
        Reference<css::frame::XController> current = model->getCurrentController();
        if (!current.is())
            throw AutomationFailure("the workbook has no window");
        return current;
    }

    Reference<css::awt::XWindow> window() { return controller()->getFrame()->getContainerWindow(); }

    std::string pipeName;
    std::filesystem::path profile;
    pid_t process = -1;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    Reference<css::sheet::XSpreadsheet> sheet;
    Reference<css::util::XCloseListener> listener;
    Reference<css::sheet::XSpreadsheetView> view;
    Reference<css::view::XSelectionSupplier> selection;
    Reference<css::table::XCell> lastCell;
    std::string lastCellName;
};

// Every UNO failure reaches the client as an automation failure.
class GuardedCalc : public SpreadsheetAutomation {
public:
    template <class Call>
    auto guarded(Call call) -> decltype(call())
    {
        try {
            return call();
        } catch (const css::uno::Exception& failure) {
            throw AutomationFailure(fromUno(failure.Message));
        }
    }

    bool start() override
    {
        return guarded([&] { return calc.start(); });
    }
    int workbookCount() override
    {
        return guarded([&] { return calc.workbookCount(); });
    }
    void useFirstWorkbook() override
    {
        guarded([&] { calc.useFirstWorkbook(); });
    }
    void createWorkbook() override
    {
        guarded([&] { calc.createWorkbook(); });
    }
    void openWorkbook(const std::string& path) override
    {
        guarded([&] { calc.openWorkbook(path); });
    }
    int sheetCount() override
    {
        return guarded([&] { return calc.sheetCount(); });
    }
    void addSheet() override
    {
        guarded([&] { calc.addSheet(); });
    }
    std::string sheetName(int index) override
    {
        return guarded([&] { return calc.sheetName(index); });
    }
    void selectSheet(int index) override
    {
        guarded([&] { calc.selectSheet(index); });
    }
    void selectSheet(const std::string& name) override
    {
        guarded([&] { calc.selectSheet(name); });
    }
    void activateSheet() override
    {
        guarded([&] { calc.activateSheet(); });
    }
    void setCell(const std::string& name, const CellValue& value) override
    {
        guarded([&] { calc.setCell(name, value); });
    }
    void activateCell(const std::string& name) override
    {
        guarded([&] { calc.activateCell(name); });
    }
    void setVisible(bool visible) override
    {
        guarded([&] { calc.setVisible(visible); });
    }
    void activateWorkbook() override
    {
        guarded([&] { calc.activateWorkbook(); });
    }
    void maximiseWindow() override
    {
        guarded([&] { calc.maximiseWindow(); });
    }
    void restoreWindow() override
    {
        guarded([&] { calc.restoreWindow(); });
    }
    void placeWindow(int left, int top, int width, int height) override
    {
        guarded([&] { calc.placeWindow(left, top, width, height); });
    }
    void storeCopy(const std::string& path) override
    {
        guarded([&] { calc.storeCopy(path); });
    }
    void onWorkbookClosed(std::function<void()> handler) override
    {
        guarded([&] { calc.onWorkbookClosed(std::move(handler)); });
    }
    void stopWatchingWorkbook() override
    {
        guarded([&] { calc.stopWatchingWorkbook(); });
    }
    void closeWorkbook() override
    {
        guarded([&] { calc.closeWorkbook(); });
    }
    void quit() override
    {
        guarded([&] { calc.quit(); });
    }

private:
    CalcAutomation calc;
};

} // namespace

std::unique_ptr<SpreadsheetAutomation> makeSpreadsheetAutomation()
{
    return std::make_unique<GuardedCalc>();
}

} // namespace lt
