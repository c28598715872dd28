// The desktop operator's file choices: the open and save dialogs the
// colour metrics page shares (text files, ".txt" names, the overwrite
// question about the final name), driven as an operator would.
#include "PageFixture.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/shell/QtOperator.h"

namespace {

// Runs each step on the next modal window that opens, in turn; the rest of
// the time the dialogs run their own event loops.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<void(QWidget*)>> steps)
        : pending(std::move(steps))
    {
        QObject::connect(&poll, &QTimer::timeout, [this] { step(); });
        poll.start(10);
    }
    bool finished() const { return pending.empty(); }

private:
    void step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (pending.empty() || !modal || modal == lastHandled)
            return;
        lastHandled = modal;
        auto next = std::move(pending.front());
        pending.erase(pending.begin());
        next(modal);
    }

    std::vector<std::function<void(QWidget*)>> pending;
    QWidget* lastHandled = nullptr;
    QTimer poll;
};

// The file dialog takes name and accepts it; checks what it showed first.
std::function<void(QWidget*)> typeName(
    const QString& name, QStringList* filters = nullptr, QString* directory = nullptr)
{
    return [=](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        if (filters)
            *filters = dialog->nameFilters();
        if (directory)
            *directory = dialog->directory().absolutePath();
        dialog->selectFile(name);
        static_cast<QDialog*>(dialog)->accept(); // virtual: the file dialog checks the name
    };
}

std::function<void(QWidget*)> press(QMessageBox::StandardButton button, QString* text = nullptr)
{
    return [=](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        if (text)
            *text = box->text();
        box->button(button)->click();
    };
}

std::function<void(QWidget*)> cancel()
{
    return [](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    };
}

class OperatorFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lt::testing::testApplication();
        ASSERT_TRUE(dir.isValid());
    }
    std::string file(const char* name) const { return dir.filePath(name).toStdString(); }
    void create(const char* name) const { std::ofstream(file(name)) << "kept"; }

    QTemporaryDir dir;
    QtOperator op;
};

} // namespace

TEST_F(OperatorFileDialogTest, SaveStartsBesideTheCurrentFileAndGivesTheNameTheTextExtension)
{
    QStringList filters;
    QString directory;
    ModalScript script({typeName("report.csv", &filters, &directory)});
    const auto chosen = op.chooseFileToSave("Save List", file("old.txt"), " ListFiles(*.txt) ");
    EXPECT_TRUE(script.finished());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, file("report.txt"));
    EXPECT_EQ(directory, dir.path());
    ASSERT_FALSE(filters.isEmpty());
    EXPECT_TRUE(filters.first().contains("*.txt"));
}

TEST_F(OperatorFileDialogTest, ReplacingAFileIsAskedAboutTheFinalName)
{
    create("list.txt");
    // "list.csv" becomes "list.txt", which exists: No returns to the dialog,
    // which the operator then cancels.
    QString question;
    ModalScript refused({typeName("list.csv"), press(QMessageBox::No, &question), cancel()});
    EXPECT_FALSE(op.chooseFileToSave("Save List", file("list.txt"), " ListFiles(*.txt) "));
    EXPECT_TRUE(refused.finished());
    EXPECT_TRUE(question.startsWith("list.txt already exists.")) << question.toStdString();

    ModalScript accepted({typeName("list"), press(QMessageBox::Yes)});
    EXPECT_EQ(
        op.chooseFileToSave("Save List", file("list.txt"), " ListFiles(*.txt) "), file("list.txt"));
    EXPECT_TRUE(accepted.finished());
}

TEST_F(OperatorFileDialogTest, OpenReturnsTheChosenFileOrNothingOnCancel)
{
    create("spots.txt");
    ModalScript chosen({typeName("spots.txt")});
    EXPECT_EQ(op.chooseFileToOpen("Load Spot Colors", file("spots.txt"), " ListFiles(*.txt) "),
        file("spots.txt"));
    EXPECT_TRUE(chosen.finished());

    ModalScript cancelled({cancel()});
    EXPECT_FALSE(op.chooseFileToOpen("Load Spot Colors", file("spots.txt"), " ListFiles(*.txt) "));
    EXPECT_TRUE(cancelled.finished());
}
