// Start-up of the LtrakW program; the main sheet is being built.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QLabel label("LtrakW: the main window is being built.");
    label.show();
    return application.exec();
}
