// Writes the Windows program's database, ovBill.mdb (Access, Jet 4), with
// generated books, for the import's tests and benchmark:
//   make_mdb [--bills N] [--lines N] [--seed N] [--spell FILE] [--test-content] <file>
// Its seven tables carry the program's table and column names; dates are
// Jet dates, prices and amounts Currency, weights and piece counts Double,
// the password clear text, as the old program kept them.

#include "MdbWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

const QStringList Places = QStringLiteral("杭州,绍兴,柯桥,宁波,温州,苏州,常州,南通,上海,广州,佛山,泉州").split(u',');
const QStringList Shops = QStringLiteral("锦华布行,永丰纺织,恒达服饰,瑞丰针织,华美面料,鸿运家纺").split(u',');
const QStringList Products = QStringLiteral("全棉汗布,罗纹布,珠地布,卫衣布,摇粒绒,莱卡布,雪纺,牛津布,灯芯绒,府绸").split(u',');
const QStringList Colours = QStringLiteral("漂白,米黄,卡其,浅灰,黑色,藏青,天蓝,墨绿,大红,玫红,橙色,紫色").split(u',');
const QStringList Staff = QStringLiteral("王丽,陈芳,张伟,李强,林静,马超").split(u',');

MdbColumnDef text(const char *name, int length)
{
    return {QString::fromLatin1(name), MdbType::Text, length};
}

MdbColumnDef column(const char *name, MdbType type)
{
    return {QString::fromLatin1(name), type};
}

MdbColumnDef key()
{
    return {QStringLiteral("id"), MdbType::Long, 0, true};
}

QVariant money(qint64 tenThousandths)
{
    return QVariant::fromValue(MdbCurrency{tenThousandths});
}

struct Options
{
    int bills = 300;
    int lines = 3000;
    quint32 seed = 1;
    QString spell;
    bool testContent = false;
};

class Books
{
public:
    Books(MdbWriter &writer, const Options &options) : m_options(options), m_random(options.seed)
    {
        QList<MdbColumnDef> lineColumns{key(), column("pid", MdbType::Long), text("artno", 50), text("product", 50),
                                        text("color", 50)};
        for (int i = 1; i <= 10; ++i)
            lineColumns << MdbColumnDef{QStringLiteral("col%1").arg(i), MdbType::Double};
        lineColumns << column("quantity", MdbType::Double) << column("price", MdbType::Currency)
                    << column("pi", MdbType::Double);
        m_bill = &writer.addTable(QStringLiteral("bill"),
                                  {key(), column("date", MdbType::DateTime), text("client", 100), text("link", 255),
                                   text("man1", 50), text("man2", 50), text("man3", 50), text("man4", 50),
                                   text("comment", 255), column("price", MdbType::Currency),
                                   column("pi", MdbType::Double), column("quantity", MdbType::Double)});
        m_billsub = &writer.addTable(QStringLiteral("billsub"), lineColumns);
        m_client = &writer.addTable(QStringLiteral("client"),
                                    {key(), text("client", 100), text("link", 255), text("query", 255)});
        m_artno = &writer.addTable(QStringLiteral("artno"),
                                   {key(), text("artno", 50), text("product", 50), text("color", 50),
                                    column("price", MdbType::Currency), text("query", 255)});
        m_serv = &writer.addTable(QStringLiteral("serv"), {key(), text("field", 50), text("value", 255)});
        m_info = &writer.addTable(QStringLiteral("tblinfo"), {text("password", 50)});
        m_spell = &writer.addTable(QStringLiteral("tblspell"), {text("word", 2), text("spell", 10)});
    }

    bool write()
    {
        return masterData() && bills() && spell()
            && m_info->addRow({m_options.testContent ? QStringLiteral("密码123") : QString()});
    }

private:
    int below(int n) { return int(m_random.bounded(n)); }
    template<typename T>
    const T &pick(const QList<T> &list) { return list.at(below(int(list.size()))); }

    bool masterData()
    {
        const QList<QPair<QString, QStringList>> lists{{QStringLiteral("product"), Products},
                                                       {QStringLiteral("color"), Colours},
                                                       {QStringLiteral("man1"), Staff},
                                                       {QStringLiteral("man2"), Staff}};
        int id = 0;
        for (const auto &[field, values] : lists) {
            for (const QString &value : values) {
                if (!m_serv->addRow({++id, field, value}))
                    return false;
            }
        }
        const int clients = std::max(10, m_options.bills / 20);
        for (int i = 0; i < clients; ++i) {
            m_clients << Places.at(i % Places.size()) + Shops.at(i / Places.size() % Shops.size())
                    + (i >= Places.size() * Shops.size() ? QString::number(i) : QString());
            if (!m_client->addRow({i + 1, m_clients.last(), pick(Staff) + QStringLiteral(" 1390000%1").arg(i, 4, 10, QLatin1Char('0')), QString()}))
                return false;
        }
        const int articles = std::max(20, m_options.lines / 50);
        for (int i = 0; i < articles; ++i) {
            const qint64 price = (100 + below(700)) * 1000; // whole and half yuan
            m_articles << Article{QStringLiteral("AB-%1").arg(1000 + i), pick(Products), pick(Colours), price};
            const Article &a = m_articles.last();
            if (!m_artno->addRow({i + 1, a.artno, a.product, a.colour, money(a.price), QString()}))
                return false;
        }
        if (m_options.testContent) {
            // A name beyond the Basic Multilingual Plane (U+20000), an empty
            // contact and Nulls in every column but the key.
            m_clients << QStringLiteral("\U00020000记布行");
            return m_client->addRow({clients + 1, m_clients.last(), QString(), QVariant()})
                && m_client->addRow({clients + 2, QVariant(), QVariant(), QVariant()})
                && m_artno->addRow({articles + 1, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()})
                && m_serv->addRow({id + 1, QVariant(), QVariant()});
        }
        return true;
    }

    bool bills()
    {
        const int bills = m_options.bills;
        const QDate first = m_options.testContent ? QDate(1999, 1, 1) : QDate(2021, 1, 1);
        const QDate last = m_options.testContent ? QDate(2030, 12, 31) : QDate(2025, 12, 31);
        int lineId = 0;
        for (int b = 1; b <= bills; ++b) {
            const int count = m_options.lines / bills + (b <= m_options.lines % bills ? 1 : 0);
            qint64 amount = 0; // ten-thousandths
            double weight = 0;
            int pieces = 0;
            for (int l = 0; l < count; ++l) {
                const Article &a = pick(m_articles);
                QVariantList row{++lineId, b, a.artno, a.product, a.colour};
                const int n = 1 + below(10);
                double kg = 0;
                for (int i = 0; i < 10; ++i) {
                    const double w = i < n ? (150 + below(350)) / 10.0 : 0.0;
                    kg += w;
                    row << w;
                }
                row << kg << money(a.price) << n;
                if (!m_billsub->addRow(row))
                    return false;
                amount += qRound64(kg * 10) * a.price / 10;
                weight += kg;
                pieces += n;
            }
            const QDate date = b == 1 ? first : b == bills ? last : first.addDays(below(int(first.daysTo(last))));
            if (!m_bill->addRow({b, date, pick(m_clients), pick(Staff), pick(Staff), pick(Staff), pick(Staff),
                                 pick(Staff), QStringLiteral("月结"), money(amount), pieces, weight}))
                return false;
        }
        if (!m_options.testContent)
            return true;
        // A bill of Nulls, a bill with an empty comment and a refund, a line
        // of Nulls and negative fractions, and a line whose bill is gone.
        QVariantList nulls{bills + 1};
        nulls.resize(12);
        QVariantList lineNulls{lineId + 1};
        lineNulls.resize(18);
        QVariantList refund{lineId + 2, bills + 2, QStringLiteral("AB-退货"), QStringLiteral("全棉汗布"),
                            QStringLiteral("黑色")};
        for (int i = 1; i <= 10; ++i)
            refund << (i == 1 ? -12.25 : 0.0);
        refund << -12.25 << QStringLiteral("-12.3456") << -1;
        QVariantList orphan = refund;
        orphan[0] = lineId + 3;
        orphan[1] = bills + 1000;
        return m_bill->addRow(nulls)
            && m_bill->addRow({bills + 2, QDate(2030, 12, 31), m_clients.last(), QString(), QVariant(), QVariant(),
                               QVariant(), QVariant(), QString(), QStringLiteral("151.2336"), -1, -12.25})
            && m_billsub->addRow(lineNulls) && m_billsub->addRow(refund) && m_billsub->addRow(orphan);
    }

    bool spell()
    {
        if (m_options.spell.isEmpty())
            return true;
        QFile file(m_options.spell);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make_mdb: %s: %s\n", qPrintable(m_options.spell), qPrintable(file.errorString()));
            return false;
        }
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const QStringList fields = line.split(u'\t');
            if (line.startsWith(u'#') || fields.size() != 2)
                continue;
            if (!m_spell->addRow({fields[0], fields[1]}))
                return false;
        }
        return true;
    }

    struct Article
    {
        QString artno;
        QString product;
        QString colour;
        qint64 price;
    };

    const Options m_options;
    QRandomGenerator m_random;
    MdbTable *m_bill;
    MdbTable *m_billsub;
    MdbTable *m_client;
    MdbTable *m_artno;
    MdbTable *m_serv;
    MdbTable *m_info;
    MdbTable *m_spell;
    QStringList m_clients;
    QList<Article> m_articles;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes generated books as an Access (Jet 4) ovBill.mdb."));
    parser.addHelpOption();
    const Options defaults;
    const QCommandLineOption bills(QStringLiteral("bills"), QStringLiteral("bills (default %1)").arg(defaults.bills),
                                   QStringLiteral("N"), QString::number(defaults.bills));
    const QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("bill lines in all (default %1)").arg(defaults.lines),
                                   QStringLiteral("N"), QString::number(defaults.lines));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("N"),
                                  QString::number(defaults.seed));
    const QCommandLineOption spell(QStringLiteral("spell"), QStringLiteral("tab-separated search codes for tblspell"),
                                   QStringLiteral("FILE"));
    const QCommandLineOption testContent(QStringLiteral("test-content"),
                                         QStringLiteral("add Nulls, empty and negative values, an orphan line, dates"
                                                        " from 1999 to 2030 and a name beyond the BMP"));
    parser.addOptions({bills, lines, seed, spell, testContent});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("the .mdb file to write"));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    Options options;
    bool ok[3];
    options.bills = parser.value(bills).toInt(&ok[0]);
    options.lines = parser.value(lines).toInt(&ok[1]);
    options.seed = parser.value(seed).toUInt(&ok[2]);
    options.spell = parser.value(spell);
    options.testContent = parser.isSet(testContent);
    if (!ok[0] || !ok[1] || !ok[2] || options.bills < 1 || options.lines < options.bills) {
        std::fprintf(stderr, "make_mdb: counts are whole numbers, at least one line per bill\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    MdbWriter writer;
    const QString file = parser.positionalArguments().first();
    if (!writer.open(file)) {
        std::fprintf(stderr, "make_mdb: %s: %s\n", qPrintable(file), qPrintable(writer.errorString()));
        return 1;
    }
    Books books(writer, options);
    const bool written = books.write();
    if (!writer.close() || !written) {
        std::fprintf(stderr, "make_mdb: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    std::fprintf(stderr, "%s: %lld bytes in %.2f s\n", qPrintable(file), QFileInfo(file).size(),
                 timer.elapsed() / 1000.0);
    return 0;
}
