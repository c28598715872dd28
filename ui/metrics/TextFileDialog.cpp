#include "ui/metrics/TextFileDialog.h"

#include "core/common/WholeFile.h"
#include "core/metrics/TextFileName.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace lt {

namespace {

QFileDialog* makeDialog(
    QWidget* parent, const QString& title, const QString& currentPath, const QString& filter)
{
    auto* dialog = new QFileDialog(parent, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setNameFilter(
        filter.trimmed().isEmpty() ? QString::fromLatin1(kTextFileFilter) : filter);
    dialog->setDefaultSuffix(kTextFileExtension);
    dialog->setDirectory(QString::fromStdString(directoryOfPath(currentPath.toStdString())));
    const QString name = QFileInfo(currentPath).fileName();
    if (!name.isEmpty())
        dialog->selectFile(name);
    return dialog;
}

} // namespace

QString chooseTextFileToOpen(
    QWidget* parent, const QString& title, const QString& currentPath, const QString& filter)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(parent, title, currentPath, filter));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

QString chooseTextFileToSave(
    QWidget* parent, const QString& title, const QString& currentPath, const QString& filter)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(parent, title, currentPath, filter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // The name may still change its extension below, so the overwrite
    // question is asked here about the final name.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    while (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        const QString chosen = QString::fromStdString(
            withTextExtension(dialog->selectedFiles().constFirst().toStdString()));
        if (!QFileInfo::exists(chosen))
            return chosen;
        const auto answer = QMessageBox::question(parent, title,
            QFileInfo(chosen).fileName() + " already exists.\nDo you want to replace it?",
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            return chosen;
        dialog->selectFile(QFileInfo(chosen).fileName());
    }
    return {};
}

} // namespace lt
