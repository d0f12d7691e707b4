#include "DocumentSearch.h"
#include "Error.h"
#include "MessageBoxRecorder.h"
#include "PostgresServer.h"
#include "RecordingDesktop.h"
#include "TempShare.h"
#include "UnitMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

#include <memory>

using namespace quvex;
using namespace quvex::test;

namespace {

const QString fixturePaths[] = {
    QStringLiteral("\\\\fs\\报告\\2024\\Annual report 2024.doc"),
    QStringLiteral("\\\\fs\\报告\\2023\\report 2023 draft.doc"),
    QStringLiteral("\\\\fs\\a\\100% done.doc"),
    QStringLiteral("\\\\fs\\a\\1000 done.doc"),
    QStringLiteral("\\\\fs\\a\\a_b.txt"),
    QStringLiteral("\\\\fs\\a\\axb.txt"),
    QStringLiteral("\\\\fs\\a\\[draft] plan.doc"),
    QStringLiteral("\\\\fs\\a\\d plan.doc"),
    QStringLiteral("\\\\fs\\a\\O'Brien.doc"),
    QStringLiteral("\\\\fs\\dir\\sub\\x.doc"),
    QStringLiteral("\\\\fs\\dirXsub\\y.doc"),
};
constexpr int bulkRows = 1200;
constexpr int fixtureRows = 1 + int(std::size(fixturePaths)) + bulkRows;

// Creates the index table through the engine's own driver and fills it; the NULL path first.
QString loadFixture(const DocumentIndexConnection& index) {
    const QString name = QStringLiteral("fixture");
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(index.driver, name);
        db.setDatabaseName(index.connection);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery query(db);
        query.exec(QStringLiteral("DROP TABLE IF EXISTS document_searchindexs"));
        if (!query.exec(QStringLiteral("CREATE TABLE document_searchindexs (search_id INTEGER, "
                                       "search_path VARCHAR(400))")))
            return query.lastError().text();
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO document_searchindexs VALUES (?, ?)"));
        int id = 1;
        const auto insert = [&](const QVariant& path) {
            query.addBindValue(id++);
            query.addBindValue(path);
            if (!query.exec())
                failure = query.lastError().text();
        };
        insert(QVariant(QMetaType::fromType<QString>()));
        for (const QString& path : fixturePaths)
            insert(path);
        for (int i = 0; i < bulkRows; ++i)
            insert(QStringLiteral("\\\\fs\\bulk\\file%1.doc").arg(i, 4, 10, QLatin1Char('0')));
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}

int rowCount(const DocumentIndexConnection& index) {
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(index.driver, QStringLiteral("count"));
        db.setDatabaseName(index.connection);
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT COUNT(*) FROM document_searchindexs")) &&
            query.next())
            count = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return count;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void splitWords_data();
    void splitWords();
    void statement_data();
    void statement();
    void engines_data();
    void engines();
    void injectionLeavesTheTableIntact();
    void sortingIgnoresCase_data();
    void sortingIgnoresCase();
    void searchPage();
    void connectionFailureKeepsTheList();
    void doubleClickOpensTheSelectedLine();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_postgres;
    QMap<QString, DocumentIndexConnection> m_engines;
    QMap<QString, QString> m_unavailable;
};

void TestSearch::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("quvex"));
    m_engines[QStringLiteral("SQLite")] = {QStringLiteral("QSQLITE"),
                                           m_dir.filePath(QStringLiteral("qt.sqlite"))};
    m_engines[QStringLiteral("SQLite ODBC")] = {
        QStringLiteral("QODBC"), QStringLiteral("DRIVER={SQLite3};Database=%1")
                                     .arg(m_dir.filePath(QStringLiteral("odbc.sqlite")))};
    m_postgres = std::make_unique<PostgresServer>();
    if (m_postgres->isRunning())
        m_engines[QStringLiteral("PostgreSQL ODBC")] = {QStringLiteral("QODBC"),
                                                        m_postgres->odbcConnection()};
    else
        m_unavailable[QStringLiteral("PostgreSQL ODBC")] = m_postgres->failure();
    for (auto it = m_engines.cbegin(); it != m_engines.cend(); ++it) {
        const QString failure = loadFixture(*it);
        QVERIFY2(failure.isEmpty(), qPrintable(it.key() + QStringLiteral(": ") + failure));
    }
}

void TestSearch::splitWords_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("conditions");
    QTest::newRow("blanks around two words")
        << "   年度  报告   " << QStringList{"年度", "报告"} << QStringList{"年度", "报告"};
    QTest::newRow("quoted phrase")
        << "\"annual report\" 2024" << QStringList{"annual report", "2024"}
        << QStringList{"annual report", "2024"};
    QTest::newRow("blanks only") << "  \t " << QStringList{} << QStringList{};
    QTest::newRow("empty quotes") << "\"\" x" << QStringList{"", "x"} << QStringList{"x"};
    QTest::newRow("quote inside a word")
        << "O\"Brien" << QStringList{"O\"Brien"} << QStringList{"O\"Brien"};
    QTest::newRow("no closing quote")
        << "a \"b c  " << QStringList{"a", "b c  "} << QStringList{"a", "b c"};
    QTest::newRow("doubled quotes")
        << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""} << QStringList{"say \"hi\""};
    QTest::newRow("word right after a closing quote")
        << "\"a b\"c" << QStringList{"a b", "c"} << QStringList{"a b", "c"};
    QTest::newRow("quote right after a word")
        << "ab\"c d\"" << QStringList{"ab\"c", "d\""} << QStringList{"ab\"c", "d\""};
    QTest::newRow("tabs and control characters")
        << "a\tb\x01"
           "c\nd"
        << QStringList{"a", "b", "c", "d"} << QStringList{"a", "b", "c", "d"};
    QTest::newRow("quoted blanks only") << "\" \"" << QStringList{" "} << QStringList{};
    QTest::newRow("ideographic space is ordinary")
        << "年度\u3000报告" << QStringList{"年度\u3000报告"} << QStringList{"年度\u3000报告"};
}

void TestSearch::splitWords() {
    QFETCH(QString, typed);
    QFETCH(QStringList, words);
    QCOMPARE(splitSearchWords(typed), words);
    QTEST(searchConditionWords(words), "conditions");
}

void TestSearch::statement_data() {
    QTest::addColumn<int>("conditions");
    QTest::addColumn<SqlDialect>("dialect");
    QTest::addColumn<QString>("statement");
    QTest::newRow("SQL Server, two words")
        << 2 << SqlDialect::SqlServer
        << "SELECT TOP 1000  search_id, search_path  FROM document_searchindexs WHERE  1=1 "
           "  AND search_path LIKE ? ESCAPE '\\'  AND search_path LIKE ? ESCAPE '\\'";
    QTest::newRow("SQL Server, no words")
        << 0 << SqlDialect::SqlServer
        << "SELECT TOP 1000  search_id, search_path  FROM document_searchindexs WHERE  1=1 ";
    QTest::newRow("other engines, one word")
        << 1 << SqlDialect::Other
        << "SELECT  search_id, search_path  FROM document_searchindexs WHERE  1=1 "
           "  AND search_path LIKE ? ESCAPE '\\' LIMIT 1000";
}

void TestSearch::statement() {
    QFETCH(int, conditions);
    QFETCH(SqlDialect, dialect);
    QTEST(buildSearchStatement(conditions, dialect), "statement");
    QCOMPARE(likePattern(QStringLiteral("1%_[\\'")), QStringLiteral("%1\\%\\_\\[\\\\'%"));
}

void TestSearch::engines_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found"); // empty with count set: only the count is checked
    QTest::addColumn<int>("count");

    const QStringList engines{"SQLite", "SQLite ODBC", "PostgreSQL ODBC"};
    for (const QString& engine : engines) {
        const auto row = [&](const char* name) {
            return &QTest::newRow(qPrintable(engine + QStringLiteral(": ") + QLatin1String(name)));
        };
        *row("two words") << engine << "report 2024" << QStringList{fixturePaths[0]} << 1;
        *row("two words, other order")
            << engine << "2024 report" << QStringList{fixturePaths[0]} << 1;
        *row("quoted phrase") << engine << "\"report 2023\"" << QStringList{fixturePaths[1]} << 1;
        *row("% literally") << engine << "100%" << QStringList{fixturePaths[2]} << 1;
        *row("_ literally") << engine << "a_b" << QStringList{fixturePaths[4]} << 1;
        *row("[ literally") << engine << "[d" << QStringList{fixturePaths[6]} << 1;
        *row("' literally") << engine << "O'Brien" << QStringList{fixturePaths[8]} << 1;
        *row("\\ literally") << engine << "dir\\sub" << QStringList{fixturePaths[9]} << 1;
        *row("more than 1000 matches") << engine << "bulk" << QStringList{} << 1000;
        *row("no words: NULL path as empty line") << engine << "  " << QStringList{} << 1000;
    }
}

void TestSearch::engines() {
    QFETCH(QString, engine);
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    QFETCH(int, count);
    if (m_unavailable.contains(engine)) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(engine + QStringLiteral(" cannot start: ") + m_unavailable[engine]));
        QSKIP(qPrintable(engine + QStringLiteral(" cannot start: ") + m_unavailable[engine]));
    }
    const QStringList paths = searchDocumentIndex(m_engines[engine], typed);
    QCOMPARE(paths.size(), count);
    if (!found.isEmpty())
        QCOMPARE(paths, found);
    if (typed.trimmed().isEmpty())
        QVERIFY(paths.contains(QString()));
}

void TestSearch::injectionLeavesTheTableIntact() {
    for (auto it = m_engines.cbegin(); it != m_engines.cend(); ++it) {
        QVERIFY(searchDocumentIndex(*it, QStringLiteral("'; DROP TABLE document_searchindexs; --"))
                    .isEmpty());
        QCOMPARE(rowCount(*it), fixtureRows);
    }
}

void TestSearch::sortingIgnoresCase_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China);
}

void TestSearch::sortingIgnoresCase() {
    QFETCH(QLocale, locale);
    QCOMPARE(sortedForDisplay({"c-REPORT", "a-Report", "B-report", "a-Report"}, locale),
             (QStringList{"a-Report", "a-Report", "B-report", "c-REPORT"}));
}

void TestSearch::searchPage() {
    TempShare share;
    share.config().dbDriver = QStringLiteral("QSQLITE");
    share.config().dbConnection = share.path(QStringLiteral("page.sqlite"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("page"));
        db.setDatabaseName(share.config().dbConnection);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral(
            "CREATE TABLE document_searchindexs (search_id INTEGER, search_path TEXT)")));
        for (const char* path :
             {"c-REPORT.doc", "a-Report.doc", "plan.doc", "B-report.doc", "a-Report.doc"})
            QVERIFY(query.exec(QStringLiteral("INSERT INTO document_searchindexs VALUES (1, '%1')")
                                   .arg(QLatin1String(path))));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("page"));

    TForm_quvex form(share.locations(), share.config());
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* pages = form.findChild<QTabWidget*>();
    pages->setCurrentIndex(3);
    auto* edit = form.findChild<QLineEdit*>(QStringLiteral("EditSearchKeyword"));
    auto* list = form.findChild<QListWidget*>(QStringLiteral("ListBoxSearchResult"));
    QCOMPARE(edit->text(), QStringLiteral("Marevo"));
    QVERIFY(edit->isVisible() && list->isVisible());
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), QStringLiteral("搜"));

    const auto lines = [list] {
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        return shown;
    };
    edit->setText(QStringLiteral("report"));
    QTest::keyClick(edit, Qt::Key_Return); // Enter searches on this page
    QCOMPARE(lines(),
             (QStringList{"a-Report.doc", "a-Report.doc", "B-report.doc", "c-REPORT.doc"}));
    edit->setText(QStringLiteral("plan"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(lines(), QStringList{"plan.doc"});

    // Enter searches wherever the focus is while this page is shown, the header's list too,
    // and on no other page.
    auto* phones = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    edit->setText(QStringLiteral("report"));
    phones->setFocus();
    QTest::keyClick(phones, Qt::Key_Return);
    QCOMPARE(lines().size(), 4);
    edit->setText(QStringLiteral("plan"));
    pages->setCurrentIndex(0);
    phones->setFocus();
    QTest::keyClick(phones, Qt::Key_Return);
    QCOMPARE(lines().size(), 4);
    pages->setCurrentIndex(3);
    QTest::keyClick(phones, Qt::Key_Enter);
    QCOMPARE(lines(), QStringList{"plan.doc"});
    QVERIFY(!QApplication::overrideCursor());
}

void TestSearch::connectionFailureKeepsTheList() {
    TempShare share;
    share.config().dbDriver = QStringLiteral("QODBC");
    share.config().dbConnection =
        QStringLiteral("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=%1;DATABASE=zuzezorazuz;UID=oa;"
                       "PWD=x;TDS_Version=7.4;ClientCharset=UTF-8")
            .arg(freeLoopbackPort());
    TForm_quvex form(share.locations(), share.config());
    form.findChild<QTabWidget*>()->setCurrentIndex(3);
    auto* list = form.findChild<QListWidget*>(QStringLiteral("ListBoxSearchResult"));
    list->addItem(QStringLiteral("earlier result"));

    const MessageBoxRecorder boxes;
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().objectName, QStringLiteral("ErrorBox"));
    QVERIFY2(boxes.texts().first().contains(QStringLiteral("connect"), Qt::CaseInsensitive),
             qPrintable(boxes.texts().first()));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("earlier result"));
    QVERIFY(!QApplication::overrideCursor());
}

void TestSearch::doubleClickOpensTheSelectedLine() {
    const TempShare share;
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.show();
    form.findChild<QTabWidget*>()->setCurrentIndex(3);
    auto* list = form.findChild<QListWidget*>(QStringLiteral("ListBoxSearchResult"));
    list->addItems({QStringLiteral("\\\\fs\\a\\one.doc"), QStringLiteral("\\\\fs\\a\\two.doc")});

    // Below the lines with nothing selected: nothing opens, nothing is reported.
    const MessageBoxRecorder boxes;
    const QPoint below(10, list->viewport()->height() - 5);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    // A click selects the second line; a double click below the lines opens it, the click there
    // not taking the selection away.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(1)});
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first.center());
    QList<QStringList> calls = desktop.settledCalls();
    std::sort(calls.begin(), calls.end()); // detached programs may record in any order
    QCOMPARE(calls, (QList<QStringList>{{"xdg-open", "smb://fs/a/one.doc"},
                                        {"xdg-open", "smb://fs/a/two.doc"}}));
    QVERIFY(boxes.boxes().isEmpty());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
