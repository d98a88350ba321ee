#include "frmLoad.h"
#include "shared/forms/Windows.h"
#include "Application.h"
#include "CopyCommand.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Moving the books needs no screen.
    if (argc > 1 && qstrcmp(argv[1], "--copy-database") == 0) {
        QCoreApplication app(argc, argv);
        return RunCopyDatabase(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    InitApplication(app);

    auto *login = new frmLoad;
    if (!login->load()) {
        delete login;
        return 1;
    }
    login->show();
    return app.exec();
}
