#include "ServerAddress.h"

#include <QSqlDatabase>
#include <QUrl>

namespace {

const QLatin1String Schemes[] = {QLatin1String("postgresql://"), QLatin1String("postgres://")};

QString decoded(const QString &part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// libpq's key=value form needs quotes around a value with spaces or quotes.
QString quotedOption(const QString &key, const QString &value)
{
    if (!value.isEmpty() && !value.contains(QLatin1Char(' ')) && !value.contains(QLatin1Char('\''))
        && !value.contains(QLatin1Char('\\')) && !value.contains(QLatin1Char(';')))
        return key + QLatin1Char('=') + value;
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return key + QStringLiteral("='") + escaped + QLatin1Char('\'');
}

bool readPort(const QString &text, int *port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0 || value > 65535)
        return false;
    *port = value;
    return true;
}

} // namespace

bool ServerAddress::isUri(const QString &location)
{
    for (const QLatin1String &scheme : Schemes) {
        if (location.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

ServerAddress ServerAddress::parse(const QString &uri, QString *error)
{
    ServerAddress address;
    const auto fail = [&](const QString &why) {
        *error = QStringLiteral("数据库地址有误（%1）：%2").arg(why, uri);
        return ServerAddress();
    };
    error->clear();
    if (!isUri(uri))
        return fail(QStringLiteral("应以 postgresql:// 开头"));
    QString rest = uri.mid(uri.indexOf(QStringLiteral("://")) + 3);

    QString query;
    if (const qsizetype mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    QString authority = rest;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        address.databaseName = decoded(rest.mid(slash + 1));
        authority = rest.left(slash);
    }
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(QLatin1Char(':')))
            return fail(QStringLiteral("密码不能写在设置里，请用 ~/.pgpass 或 PGPASSWORD"));
        address.user = decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    if (authority.contains(QLatin1Char(',')))
        return fail(QStringLiteral("只支持一台服务器"));
    QString hostPart = authority;
    QString portPart;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(QStringLiteral("地址缺少 ]"));
        hostPart = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return fail(QStringLiteral("端口"));
        portPart = after.mid(1);
    } else if (const qsizetype colon = authority.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        hostPart = authority.left(colon);
        portPart = authority.mid(colon + 1);
    }
    address.host = decoded(hostPart);
    if (!portPart.isEmpty() && !readPort(portPart, &address.port))
        return fail(QStringLiteral("端口"));

    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(pair);
        const QString key = decoded(pair.left(eq));
        const QString value = decoded(pair.mid(eq + 1));
        if (key == QLatin1String("password"))
            return fail(QStringLiteral("密码不能写在设置里，请用 ~/.pgpass 或 PGPASSWORD"));
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port")) {
            if (!readPort(value, &address.port))
                return fail(QStringLiteral("端口"));
        } else if (key == QLatin1String("user"))
            address.user = value;
        else if (key == QLatin1String("dbname"))
            address.databaseName = value;
        else
            address.options << quotedOption(key, value);
    }
    return address;
}

ServerAddress ServerAddress::of(const QSqlDatabase &db)
{
    ServerAddress address;
    address.host = db.hostName();
    address.port = db.port();
    address.user = db.userName();
    address.databaseName = db.databaseName();
    address.options = db.connectOptions().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return address;
}

void ServerAddress::applyTo(QSqlDatabase &db) const
{
    db.setHostName(host);
    db.setPort(port);
    db.setUserName(user);
    db.setDatabaseName(databaseName);
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

QString ServerAddress::toUri() const
{
    const auto encoded = [](const QString &text) { return QString::fromUtf8(QUrl::toPercentEncoding(text)); };
    QString uri = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        uri += encoded(user) + QLatin1Char('@');
    QStringList query;
    if (host.startsWith(QLatin1Char('/')))
        query << QStringLiteral("host=") + encoded(host);
    else if (host.contains(QLatin1Char(':')))
        uri += QLatin1Char('[') + host + QLatin1Char(']');
    else
        uri += encoded(host);
    if (port > 0)
        uri += QLatin1Char(':') + QString::number(port);
    uri += QLatin1Char('/') + encoded(databaseName);
    for (const QString &option : options) {
        const qsizetype eq = option.indexOf(QLatin1Char('='));
        QString value = option.mid(eq + 1);
        if (value.startsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2).replace(QStringLiteral("\\'"), QStringLiteral("'")).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        query << option.left(eq) + QLatin1Char('=') + encoded(value);
    }
    if (!query.isEmpty())
        uri += QLatin1Char('?') + query.join(QLatin1Char('&'));
    return uri;
}
