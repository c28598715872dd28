#pragma once
// The main window: a sheet of four tabs, "Spectrum", "Color Metrics",
// "Quality Control" and "Service", under the program's title.
#include <QWidget>

class QTabWidget;

inline constexpr const char* kMainWindowTitle = "Huevia-NOVU    LtrakW    V1.433";

class CHVSheet : public QWidget {
    Q_OBJECT
public:
    explicit CHVSheet(QWidget* parent = nullptr);
    ~CHVSheet() override;

    QTabWidget* tabs() const { return pages; }

private:
    QTabWidget* pages;
};

// The program's own icon in every size it ships.
class QIcon;
QIcon programIcon();
