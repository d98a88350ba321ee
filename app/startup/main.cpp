#include "frmLoad.h"
#include "shared/forms/Windows.h"
#include "Application.h"
#include "CommandLine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    SetProgramIdentity();
    if (const std::optional<int> exitCode = AnswerOnTerminal(argc, argv))
        return *exitCode;

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
