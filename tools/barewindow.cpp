// The yardstick for the program's memory at idle: a bare Qt main window with
// a tab widget of six empty tabs, shown on the same platform.
#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *tabs = new QTabWidget(&window);
    for (const char *caption : {"Books", "Goals", "Newgame", "Missflag", "Titles", "About"})
        tabs->addTab(new QWidget, QString::fromLatin1(caption));
    window.setCentralWidget(tabs);
    window.resize(734, 487);
    window.show();
    return QApplication::exec();
}
