// Captions, the recent-files captions and the save filter choice.
#include "app/core/document_rules.h"

#include <QtTest>

using namespace mq::app;

class TestDocumentRules : public QObject {
    Q_OBJECT
private slots:
    void pathsFromCaptions_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("unconfirmed");
        QTest::newRow("new") << "'Script" << "Script" << false << true;
        QTest::newRow("new, changed") << "'Script*" << "Script" << true << true;
        QTest::newRow("opened") << "'C:\\maps\\run.bat" << "C:\\maps\\run.bat" << false << true;
        QTest::newRow("saved, changed") << "/maps/run.bat*" << "/maps/run.bat" << true << false;
        QTest::newRow("marks inside belong to the path") << "/maps/o'neil*s.bat" << "/maps/o'neil*s.bat" << false << false;
        QTest::newRow("apostrophe in an opened name") << "'/maps/it's.bat*" << "/maps/it's.bat" << true << true;
        QTest::newRow("name ending in a star") << "'/maps/all*" << "/maps/all" << true << true;
        QTest::newRow("folder starting with an apostrophe") << "''90s/run.bat" << "'90s/run.bat" << false << true;
        QTest::newRow("only marks") << "'*" << "" << true << true;
        QTest::newRow("empty") << "" << "" << false << false;
    }
    void pathsFromCaptions()
    {
        QFETCH(QString, caption);
        QFETCH(QString, path);
        QFETCH(bool, modified);
        QFETCH(bool, unconfirmed);
        const std::string c = caption.toStdString();
        QCOMPARE(QString::fromStdString(pathFromCaption(c)), path);
        QCOMPARE(captionIsModified(c), modified);
        QCOMPARE(captionIsUnconfirmed(c), unconfirmed);
        QCOMPARE(QString::fromStdString(captionFor(pathFromCaption(c), unconfirmed, modified)), caption);
    }

    void recentCaptionsRoundTrip()
    {
        QCOMPARE(recentCaption(2, ""), std::string("2: "));
        QCOMPARE(pathFromRecentCaption("2: "), std::string());
        QCOMPARE(pathFromRecentCaption("2:"), std::string());
        QCOMPARE(pathFromRecentCaption(recentCaption(4, "C:\\a b\\c.bat")), std::string("C:\\a b\\c.bat"));
    }

    void saveFilterByExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("defaultExt");   // "-" for none
        QTest::newRow("bat") << "run.bat" << 3 << "bat";
        QTest::newRow("txt") << "/a/notes.txt" << 2 << "txt";
        QTest::newRow("cpt") << "relief.cpt" << 4 << "cpt";
        QTest::newRow("awk") << "cols.awk" << 8 << "awk";
        QTest::newRow("no dot") << "Script" << 1 << "-";
        QTest::newRow("dot in a folder") << "C:\\my.data\\run.bat" << 3 << "bat";
        QTest::newRow("dot only in a folder") << "/home/me/my.maps/Script" << 1 << "-";
        QTest::newRow("last dot counts") << "run.bat.txt" << 2 << "txt";
        QTest::newRow("letter case counts") << "RUN.BAT" << 1 << "-";
        QTest::newRow("other") << "grid.xyz" << 1 << "-";
        QTest::newRow("trailing dot") << "run." << 1 << "-";
    }
    void saveFilterByExtension()
    {
        QFETCH(QString, path);
        QFETCH(int, filterIndex);
        QFETCH(QString, defaultExt);
        const SaveFilterChoice choice = saveFilterFor(path.toStdString());
        QCOMPARE(choice.filterIndex, filterIndex);
        QCOMPARE(choice.defaultExt ? QString::fromStdString(*choice.defaultExt) : QStringLiteral("-"), defaultExt);
        // The chosen entry of the Save File as list is the one for that extension.
        const QStringList save = QString::fromUtf8(kSaveFilter.data(), qsizetype(kSaveFilter.size())).split('|');
        if (choice.defaultExt) QCOMPARE(save.at(2 * filterIndex - 1), QStringLiteral("*.") + defaultExt);
    }

    // Save File as offers the first eight entries of Open File, in order.
    void saveFilterIsTheStartOfTheOpenFilter()
    {
        auto entries = [](std::string_view filter) {
            return QString::fromUtf8(filter.data(), qsizetype(filter.size())).split('|');
        };
        QCOMPARE(entries(kOpenFilter).size(), 20);
        QCOMPARE(entries(kInsertFilter).size(), 20);
        QCOMPARE(entries(kSaveFilter), entries(kOpenFilter).mid(0, 16));
    }
};

QTEST_MAIN(TestDocumentRules)
#include "test_document_rules.moc"
