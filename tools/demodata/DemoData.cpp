#include "DemoData.h"

#include "masterdata/frmArtno.h"
#include "masterdata/frmClient.h"
#include "shared/data/DataAccess.h"
#include "shared/data/Database.h"
#include "shared/data/DbError.h"

#include <QDate>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QStringList Cities = QStringLiteral(
    "杭州,绍兴,柯桥,萧山,宁波,温州,嘉兴,湖州,苏州,吴江,常州,无锡,南通,上海,广州,佛山,中山,东莞,"
    "汕头,泉州,石狮,晋江,福州,厦门,青岛,济南,潍坊,郑州,武汉,长沙,成都,重庆,西安,沈阳,天津").split(u',');
const QStringList Words = QStringLiteral(
    "锦华,永丰,恒达,瑞丰,金辉,华美,鸿运,新源,天成,宏图,裕隆,富强,盛达,万利,兴隆,和泰,长城,佳美,"
    "明珠,双龙,东方,远航,鑫源,汇丰,昌盛,广源,荣华,凯达,百盛,嘉禾,丰收,协和,隆兴,时代,润华,金源").split(u',');
const QStringList Suffixes = QStringLiteral(
    "纺织有限公司,布行,服饰厂,制衣厂,针织厂,贸易公司,面料商行,家纺店").split(u',');
const QStringList Surnames = QStringLiteral("王,李,张,刘,陈,杨,黄,赵,吴,周,徐,孙,马,朱,胡,郭,何,林,罗,高").split(u',');
const QStringList Products = QStringLiteral(
    "全棉汗布,精梳棉汗布,涤纶网眼布,罗纹布,珠地布,卫衣布,毛圈布,摇粒绒,天鹅绒,莱卡布,双面布,"
    "华夫格,牛奶丝,冰丝,莫代尔,竹纤维布,天丝,雪纺,色丁,牛津布,帆布,灯芯绒,斜纹布,府绸,"
    "平纹布,泡泡纱,乔其纱,棉麻布,亚麻布,麂皮绒,空气层,太空棉,蕾丝,提花布,印花布,弹力布").split(u',');
const QStringList Colours = QStringLiteral(
    "漂白,本白,米白,米黄,杏色,卡其,驼色,咖啡,深咖,浅灰,中灰,深灰,麻灰,花灰,黑色,藏青,宝蓝,"
    "天蓝,湖蓝,浅蓝,牛仔蓝,墨绿,军绿,草绿,果绿,薄荷绿,大红,酒红,枣红,玫红,桃红,粉红,浅粉,"
    "橘红,橙色,姜黄,柠檬黄,明黄,紫色,浅紫,香芋紫,藕色,豆沙,银灰,铁锈红,孔雀蓝,宝石绿,荧光绿").split(u',');
const QStringList Comments = QStringLiteral("月结,现金,欠款,已付定金,急单,补货,退换,含税,送到仓库,自提").split(u',');

// The staff of the four value lists man1 to man4.
const QStringList Clerks = QStringLiteral("王丽,陈芳,刘敏").split(u',');
const QStringList Salesmen = QStringLiteral("张伟,李强,王军,赵磊,周杰,吴斌,孙涛,何勇").split(u',');
const QStringList Cashiers = QStringLiteral("林静,罗霞,高燕").split(u',');
const QStringList Deliverers = QStringLiteral("马超,朱峰,胡亮,郭俊,徐刚").split(u',');

class Random
{
public:
    explicit Random(quint32 seed) : m_gen(seed) {}
    int below(int n) { return n > 0 ? int(m_gen.bounded(n)) : 0; }
    double real() { return m_gen.generateDouble(); }
    // Skewed towards the front: a few clients and articles make most sales.
    int skewed(int n) { return std::min(n - 1, int(n * std::pow(real(), 2.5))); }
    template<typename T>
    const T &pick(const QList<T> &list) { return list.at(below(int(list.size()))); }

private:
    QRandomGenerator m_gen;
};

sqlite3 *sqliteHandle()
{
    const QVariant handle = DbConnection().driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("演示数据只能写入 SQLite 数据库。"));
    return *static_cast<sqlite3 *const *>(handle.data());
}

// One prepared insert, run once per row.
class Insert
{
public:
    Insert(sqlite3 *db, const char *sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            fail();
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert(const Insert &) = delete;
    Insert &operator=(const Insert &) = delete;

    Insert &text(const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(m_stmt, ++m_index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert &number(double value)
    {
        sqlite3_bind_double(m_stmt, ++m_index, value);
        return *this;
    }
    Insert &integer(qint64 value)
    {
        sqlite3_bind_int64(m_stmt, ++m_index, value);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            fail();
        sqlite3_reset(m_stmt);
        m_index = 0;
    }

private:
    [[noreturn]] void fail() const { throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    int m_index = 0;
};

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        throw DbError(text);
    }
}

double round4(double value)
{
    return std::round(value * 10000.0) / 10000.0;
}

struct Article
{
    QString artno;
    QString product;
    QString colour;
    double price;
};

// Distinct client names: city, shop word and kind, in a shuffled order, with
// a number behind when the combinations run out.
QStringList clientNames(int count, Random &random)
{
    QStringList names;
    const int combos = int(Cities.size() * Words.size() * Suffixes.size());
    std::vector<int> order(combos);
    for (int i = 0; i < combos; ++i)
        order[i] = i;
    for (int i = combos - 1; i > 0; --i)
        std::swap(order[i], order[random.below(i + 1)]);
    for (int i = 0; i < count; ++i) {
        const int k = order[i % combos];
        const int round = i / combos;
        names << Cities.at(k % Cities.size()) + Words.at(k / Cities.size() % Words.size())
                + (round ? QString::number(round + 1) + QStringLiteral("号") : QString())
                + Suffixes.at(k / Cities.size() / Words.size());
    }
    return names;
}

std::vector<Article> articles(int count, Random &random)
{
    std::vector<Article> result;
    result.reserve(count);
    static const char Series[] = "ABCDFGHJKLMNPRSTWXYZ";
    for (int i = 0; i < count; ++i) {
        // Article numbers as mills print them: a series letter pair and a number.
        const QString artno = QStringLiteral("%1%2-%3")
                                  .arg(QLatin1Char(Series[i % 20]))
                                  .arg(QLatin1Char(Series[(i / 20) % 20]))
                                  .arg(1000 + i / 400 * 7 + i % 7, 5, 10, QLatin1Char('0'));
        const double price = std::round((12.0 + random.real() * 60.0) * 2.0) / 2.0;
        result.push_back({artno, random.pick(Products), random.pick(Colours), price});
    }
    return result;
}

// How many lines each bill gets: about the average, at least one, summing
// exactly to the total.
std::vector<int> lineCounts(int bills, int lines, Random &random)
{
    std::vector<int> counts(bills, 0);
    if (bills == 0)
        return counts;
    const int average = std::max(1, lines / bills);
    qint64 sum = 0;
    for (int &c : counts) {
        c = 1 + random.below(2 * average - 1);
        sum += c;
    }
    while (sum != lines) {
        int &c = counts[random.below(bills)];
        if (sum < lines) {
            ++c;
            ++sum;
        } else if (c > 1) {
            --c;
            --sum;
        }
    }
    return counts;
}

} // namespace

void MakeDemoData(const QString &file, const DemoDataSize &size, const std::function<void(const QString &)> &progress)
{
    const auto say = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    if (QFileInfo::exists(file))
        throw DbError(QStringLiteral("文件已存在，不会覆盖：") + file);
    if (size.bills < 0 || size.lines < size.bills || size.clients < 1 || size.articles < 1 || size.years < 1)
        throw DbError(QStringLiteral("演示数据的规模不对：每张单至少一行，客户和编号至少各一个。"));

    ConnectDatabaseAt(file);
    sqlite3 *db = sqliteHandle();
    Random random(size.seed);
    // A new file nobody else reads: no need to wait for the disk per page.
    exec(db, "pragma synchronous=off");
    exec(db, "begin");

    say(QStringLiteral("value lists"));
    {
        Insert serv(db, "insert into serv (field, value) values (?, ?)");
        const QList<QPair<QString, QStringList>> lists{
            {QStringLiteral("product"), Products}, {QStringLiteral("color"), Colours},
            {QStringLiteral("man1"), Clerks},      {QStringLiteral("man2"), Salesmen},
            {QStringLiteral("man3"), Cashiers},    {QStringLiteral("man4"), Deliverers}};
        for (const auto &[field, values] : lists) {
            for (const QString &value : values)
                serv.text(field).text(value).run();
        }
    }

    say(QStringLiteral("clients"));
    const QStringList clients = clientNames(size.clients, random);
    QStringList links;
    {
        Insert insert(db, "insert into client (client, link, query) values (?, ?, ?)");
        for (const QString &client : clients) {
            const QString link = random.pick(Surnames) + QStringLiteral("先生 13%1")
                                                             .arg(random.below(1000000000), 9, 10, QLatin1Char('0'));
            links << link;
            insert.text(client).text(link).text(frmClient::SearchCodeOf(client)).run();
        }
    }

    say(QStringLiteral("articles"));
    const std::vector<Article> arts = articles(size.articles, random);
    {
        Insert insert(db, "insert into artno (artno, product, color, price, query) values (?, ?, ?, ?, ?)");
        for (const Article &a : arts)
            insert.text(a.artno).text(a.product).text(a.colour).number(a.price)
                .text(frmArtno::SearchCodeOf(a.artno, a.product, a.colour)).run();
    }

    say(QStringLiteral("bills"));
    const std::vector<int> counts = lineCounts(size.bills, size.lines, random);
    const QDate last(2025, 12, 31);
    const QDate first = last.addYears(-size.years).addDays(1);
    const qint64 days = first.daysTo(last) + 1;
    Insert bill(db, "insert into bill (id, date, client, link, man1, man2, man3, man4, comment, price, pi, quantity)"
                    " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Insert line(db, "insert into billsub (pid, artno, product, color, col1, col2, col3, col4, col5, col6, col7,"
                    " col8, col9, col10, quantity, price, pi) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int b = 0; b < size.bills; ++b) {
        // Bills are made out day after day, so ids rise with the dates.
        const QDate date = first.addDays(qint64(b) * days / std::max(1, size.bills));
        const int client = random.skewed(size.clients);
        const qint64 id = b + 1;
        struct Line
        {
            const Article *article;
            double cols[10];
            double kg;
            double price;
            int pi;
        };
        std::vector<Line> billLines(counts[b]);
        double amount = 0, pieces = 0, weight = 0;
        // A client buys from the range it knows: a window of the articles.
        const int home = (client * 7919) % size.articles;
        for (Line &l : billLines) {
            l.article = &arts[(home + random.skewed(std::min(size.articles, 400))) % size.articles];
            l.pi = 1 + random.below(10);
            double kg = 0;
            for (int p = 0; p < 10; ++p) {
                l.cols[p] = p < l.pi ? std::round((16.0 + random.real() * 14.0) * 10.0) / 10.0 : 0.0;
                kg += l.cols[p];
            }
            l.kg = round4(kg);
            l.price = l.article->price + (random.below(5) - 2) * 0.5;
            amount += l.kg * l.price;
            pieces += l.pi;
            weight += l.kg;
        }
        // The bill first: its lines refer to it.
        bill.integer(id).text(date.toString(Qt::ISODate)).text(clients.at(client)).text(links.at(client))
            .text(random.pick(Clerks)).text(random.pick(Salesmen)).text(random.pick(Cashiers))
            .text(random.pick(Deliverers)).text(random.below(5) == 0 ? random.pick(Comments) : QString())
            .number(round4(amount)).number(pieces).number(round4(weight)).run();
        for (const Line &l : billLines) {
            line.integer(id).text(l.article->artno).text(l.article->product).text(l.article->colour);
            for (double c : l.cols)
                line.number(c);
            line.number(l.kg).number(l.price).number(l.pi).run();
        }
        if ((b + 1) % 10000 == 0)
            say(QStringLiteral("bills %1").arg(b + 1));
    }
    exec(db, "commit");
    exec(db, "pragma synchronous=full");
}
