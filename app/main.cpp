// Start-up of the LtrakW program: the main sheet shown until it is closed.
#include <clocale>

#include <QApplication>

#include "app/HVSheet.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Numbers in settings, files and wire messages always use the C locale.
    std::setlocale(LC_NUMERIC, "C");
    CHVSheet sheet;
    sheet.show();
    return application.exec();
}
