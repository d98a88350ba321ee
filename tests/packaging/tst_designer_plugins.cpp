#include <QPluginLoader>
#include <QWidget>
#include <QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// Qt Designer loads each plugin module and asks it for its widget; this does
// the same, so a missing symbol or a wrong class name shows here.
class TestDesignerPlugins : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plugin_data();
    void plugin();
};

void TestDesignerPlugins::plugin_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("header");
    QTest::newRow("grid") << "ovGridplugin" << "OVGrid" << "OVGrid.h";
    QTest::newRow("navigation bar") << "ovnavbarplugin" << "OVNavigationBar" << "OVNavigationBar.h";
}

void TestDesignerPlugins::plugin()
{
    QFETCH(QString, module);
    QFETCH(QString, className);
    QFETCH(QString, header);

    QPluginLoader loader(QStringLiteral(OV_DESIGNER_PLUGIN_DIR "/lib") + module + QStringLiteral(".so"));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
    QVERIFY(plugin);
    QCOMPARE(plugin->name(), className);
    QCOMPARE(plugin->includeFile(), header);
    QVERIFY(plugin->domXml().contains(QStringLiteral("class=\"%1\"").arg(className)));

    QWidget parent;
    QWidget *widget = plugin->createWidget(&parent);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
}

QTEST_MAIN(TestDesignerPlugins)
#include "tst_designer_plugins.moc"
