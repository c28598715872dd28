#pragma once
// The open and save dialogs shared by the list file, the spot-colour file
// and the chart files: text files ("*.txt"), starting in the directory of the
// current path. The program's operator (QtOperator) asks every file choice
// through them.
#include <QString>

#include "core/metrics/TextFileName.h"

class QWidget;

namespace lt {

// Returns the chosen path, or an empty text when the operator cancels.
// filter: what the dialog lists, " ListFiles(*.txt) " unless told otherwise.
QString chooseTextFileToOpen(QWidget* parent, const QString& title, const QString& currentPath,
    const QString& filter = QString::fromLatin1(kTextFileFilter));

// The chosen name gets the extension ".txt" (replacing any other); the
// operator is asked before an existing file is replaced. Returns the path,
// or an empty text when the operator cancels.
QString chooseTextFileToSave(QWidget* parent, const QString& title, const QString& currentPath,
    const QString& filter = QString::fromLatin1(kTextFileFilter));

} // namespace lt
