// Places both controls, uses them through their public headers and prints
// what they hold.
#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    OVGrid grid;
    grid.setCols(3);
    grid.setRows(3);
    grid.setTextMatrix(1, 1, QStringLiteral("红色"));

    OVNavigationBar bar;
    bar.Navigate(OVNavigationBar::ovNBSave, 7);
    bar.Navigate(OVNavigationBar::ovNBSave, 9);

    std::printf("rows=%d cell=%s ids=%d\n", grid.Rows(), qPrintable(grid.TextMatrix(1, 1)), bar.Count());
    return 0;
}
