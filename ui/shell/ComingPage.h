#pragma once
// The tab of a page that this version of the program does not offer yet:
// it says so, and offers nothing that could look as if it worked.
#include <QString>
#include <QWidget>

class ComingPage : public QWidget {
    Q_OBJECT
public:
    // what: the work the page will do, e.g. "Quality control of samples
    // against reference sets".
    ComingPage(const QString& what, QWidget* parent = nullptr);
};
