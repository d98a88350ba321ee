#include "CommandLine.h"
#include "CopyCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

namespace {

const QString programName = QStringLiteral("tovik");

// The terminal speaks the user's language when it is Chinese and English
// otherwise: a console set to another locale often has no CJK font, and Qt's
// own parser texts are English there too.
QString say(const char *english, const char *chinese)
{
    return QString::fromUtf8(QLocale::system().language() == QLocale::Chinese ? chinese : english);
}

// Options that QApplication reads itself; accepted here and left in argv.
void addWindowSystemOptions(QCommandLineParser &parser)
{
    static const char *const withValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style",
        "stylesheet", "qmljsdebugger"};
    static const char *const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char *name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

int refuse(const QString &problem)
{
    QTextStream(stderr) << programName << say(": ", "：") << problem << '\n'
                        << say("Try 'tovik --help' for more information.",
                               "运行 'tovik --help' 查看用法。")
                        << '\n';
    return 2;
}

} // namespace

std::optional<int> AnswerOnTerminal(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    // "-platform xcb" is one option with a value, as QApplication reads it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        say("Tally sheets, clients and articles for a textile trader.",
            "纺织品码单、客户与编号管理。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  say("Show this help and exit.", "显示本帮助后退出。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     say("Show the version and exit.", "显示版本后退出。"));
    const QCommandLineOption copy(
        QStringLiteral("copy-database"),
        say("Copy the books from SOURCE (an SQLite file, a postgresql:// address, "
            "or the Windows program's ovBill.mdb) to TARGET (an SQLite file or a "
            "postgresql:// address) and check the copy, without opening a window.",
            "把账本从“来源”（SQLite 数据库文件、postgresql:// 地址或 Windows 版的 ovBill.mdb）"
            "复制到“目标”（SQLite 数据库文件或 postgresql:// 地址）并核对，不打开窗口。"));
    const QCommandLineOption codePage(
        QStringLiteral("code-page"),
        say("With --copy-database from an old (Access 97) file: the code page of its "
            "text, e.g. CP950 for Traditional Chinese; the file's own by default, else GBK.",
            "配合 --copy-database 复制旧版（Access 97）文件：其文字的代码页，如繁体中文用 "
            "CP950；默认用文件自己标明的，没有标明时用 GBK。"),
        QStringLiteral("NAME"));
    parser.addOptions({help, version, copy, codePage});
    addWindowSystemOptions(parser);
    // Usage reads "[SOURCE TARGET]": the windows take no arguments.
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 say("With --copy-database: the books to copy.",
                                     "配合 --copy-database：要复制的账本。"),
                                 QStringLiteral("[SOURCE"));
    parser.addPositionalArgument(QStringLiteral("TARGET"),
                                 say("With --copy-database: where they go.",
                                     "配合 --copy-database：复制到哪里。"),
                                 QStringLiteral("TARGET]"));

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return refuse(unknown.isEmpty()
                          ? parser.errorText()
                          : say("unknown option '%1'", "未知选项 '%1'").arg(unknown.constFirst()));
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                         programName);
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    if (parser.isSet(copy)) {
        // Moving the books needs Qt's database drivers but no screen.
        QCoreApplication app(argc, argv);
        return RunCopyDatabase(parser.positionalArguments(), parser.value(codePage).toLatin1());
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(say("unexpected argument '%1'", "多余的参数 '%1'")
                          .arg(parser.positionalArguments().constFirst()));
    return std::nullopt;
}
