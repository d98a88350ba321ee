#include "frmLoad.h"
#include "shared/forms/Windows.h"
#include "Application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
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
