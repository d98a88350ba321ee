#include "CopyCommand.h"

#include "shared/data/DatabaseCopy.h"
#include "shared/data/DbError.h"

#include <QTextStream>

int RunCopyDatabase(const QStringList &arguments, const QByteArray &codePage)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "用法：tovik --copy-database <来源> <目标>\n"
               "  来源、目标：SQLite 数据库文件，或 postgresql://用户@主机:端口/数据库\n"
               "  来源也可以是 Windows 版的 ovBill.mdb（只读，不会改动）\n";
        return 2;
    }
    try {
        const CopyReport report = CopyBooks(arguments.at(0), arguments.at(1), {codePage});
        for (const auto &[table, rows] : report.rows)
            out << table << '\t' << rows << '\n';
        for (const QString &note : report.notes)
            out << "注意：" << note << '\n';
        out << "合计金额\t" << QString::number(report.billTotal, 'f', 2) << '\n'
            << "已复制并核对：" << arguments.at(1) << '\n';
        return 0;
    } catch (const DbError &e) {
        err << e.text() << '\n';
        return 1;
    }
}
