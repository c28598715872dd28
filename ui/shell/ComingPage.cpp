#include "ui/shell/ComingPage.h"

#include <QLabel>
#include <QVBoxLayout>

ComingPage::ComingPage(const QString& what, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(what +
            QStringLiteral(
                "\n\nThis page is coming in a later version of LtrakW; nothing on it works yet."),
        this);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
}
