// The floor for the start-up benchmark: a bare Qt main window with a menu bar and 80 line edits,
// combo boxes and option buttons, shown, then "shown" printed and quit on the first pass of the
// event loop, as the program's start-up probe does.
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    QMainWindow window;
    for (const char* menu : {"&File", "&Options", "&Help"})
        window.menuBar()->addMenu(menu)->addAction("Item");
    auto* central = new QWidget(&window);
    auto* grid = new QGridLayout(central);
    for (int i = 0; i < 80; ++i) {
        QWidget* control = nullptr;
        if (i % 3 == 0) {
            control = new QLineEdit(QString::number(i), central);
        } else if (i % 3 == 1) {
            auto* combo = new QComboBox(central);
            combo->addItems({"One", "Two", "Three"});
            control = combo;
        } else {
            control = new QRadioButton(QString::number(i), central);
        }
        grid->addWidget(control, i / 8, i % 8);
    }
    window.setCentralWidget(central);
    window.show();
    QTimer::singleShot(0, &qt, [&qt] {
        std::puts("shown");
        std::fflush(stdout);
        qt.quit();
    });
    return qt.exec();
}
