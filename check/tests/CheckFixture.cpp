#include "CheckFixture.h"

#include "data/DataSet.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "platform/CommandLine.h"
#include "platform/Cp1252.h"
#include "platform/ui/Application.h"
#include "platform/ui/InputQuery.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

void ok(DBRESULT r) {
    if (r == 0)
        return;
    uint32_t n = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&n, text, &len);
    FAIL() << "engine: " << text;
}

DBHANDLE createTable(DBHANDLE connection, const QString &path, const char *fields) {
    DBHANDLE t = 0;
    ok(DbCreateTable(connection, Cp1252::fromQString(path).constData(), fields, &t));
    return t;
}

void createIndex(DBHANDLE table, const char *tag, const char *fields, bool unique = false) {
    DBHANDLE i = 0;
    ok(DbCreateIndex(table, tag, fields, unique ? DB_INDEX_UNIQUE : 0, &i));
}

void setText(DBHANDLE table, uint16_t field, const QString &value) {
    const QByteArray b = Cp1252::fromQString(value);
    ok(b.isEmpty() ? DbSetEmpty(table, field)
                   : DbSetField(table, field, b.constData(), uint32_t(b.size())));
}

} // namespace

void CheckTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    Application::setErrorDisplay([this](const QString &, const QString &text) { errors << text; });
    ok(DbConnect(Cp1252::fromQString(m_dir.path()).constData(), DB_SERVER_LOCAL, "", "", 0,
                 &m_connection));
    watchModalWindows();
}

void CheckTest::TearDown() {
    form.reset();
    m_timer.reset();
    Application::setErrorDisplay({});
    ResetCommandLineArguments();
    if (m_connection)
        DbDisconnect(m_connection);
}

void CheckTest::makeTables(const std::vector<Article> &articles, bool withBstnTag) {
    const QString dir = m_dir.path() + u'/';
    DBHANDLE a = createTable(m_connection, dir + QStringLiteral("ArtikelMain.TBL"),
                             "ID,15,0,0;BZK,4,50,0;BZL,4,50,0;BSTN,4,50,0");
    createIndex(a, "ID", "ID", true);
    createIndex(a, "BZK", "BZK");
    if (withBstnTag)
        createIndex(a, "BSTN", "BSTN");
    DBHANDLE b = createTable(m_connection, dir + QStringLiteral("Artikelsub.TBL"),
                             "ID,15,0,0;ID_ART,11,0,0;MENGE,10,0,0");
    createIndex(b, "ID_ART", "ID_ART");
    ok(DbBeginTransaction(a));
    ok(DbBeginTransaction(b));
    int id = 0;
    for (const Article &article : articles) {
        ++id;
        ok(DbAppendRecord(a));
        setText(a, 2, article.bzk);
        setText(a, 4, article.bstn);
        ok(DbWriteRecord(a));
        for (int k = 0; k < article.bookings; ++k) {
            ok(DbAppendRecord(b));
            setText(b, 2, QString::number(id));
            setText(b, 3, QStringLiteral("1"));
            ok(DbWriteRecord(b));
        }
    }
    ok(DbCommitTransaction(a));
    ok(DbCommitTransaction(b));
    ok(DbCloseTable(a));
    ok(DbCloseTable(b));
    DBHANDLE s = createTable(m_connection, dir + QStringLiteral("setup.TBL"),
                             "ID,15,0,0;Ident,11,0,0;MemoItem,5,0,0;stringItem,4,100,0");
    createIndex(s, "IDENT", "Ident");
    ok(DbAppendRecord(s));
    setText(s, 2, QStringLiteral("1"));
    setText(s, 4, QStringLiteral("Testmandant"));
    ok(DbWriteRecord(s));
    ok(DbCloseTable(s));
}

void CheckTest::appendRuns(int pairs, int triples) {
    DBHANDLE a = 0;
    const QByteArray path = Cp1252::fromQString(m_dir.path() + QStringLiteral("/ArtikelMain.TBL"));
    ok(DbOpenTable(m_connection, path.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                   DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &a));
    ok(DbBeginTransaction(a));
    int run = 0;
    auto add = [&](int length) {
        ++run;
        for (int k = 0; k < length; ++k) {
            ok(DbAppendRecord(a));
            setText(a, 2, QStringLiteral("Artikel"));
            setText(a, 4, QStringLiteral("N-%1").arg(run, 5, 10, QChar(u'0')));
            ok(DbWriteRecord(a));
        }
    };
    for (int i = 0; i < triples; ++i)
        add(3);
    for (int i = 0; i < pairs; ++i)
        add(2);
    ok(DbCommitTransaction(a));
    ok(DbCloseTable(a));
}

void CheckTest::start(const QStringList &arguments) {
    SetCommandLineArguments(arguments.isEmpty() ? QStringList{m_dir.path(), QStringLiteral("1"),
                                                              QStringLiteral("12413")}
                                                : arguments);
    form = std::make_unique<TFMain>();
    Application::setMainForm(form.get());
    form->show();
    // The start-up message is posted when the window is shown; the event loop delivers it.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void CheckTest::check() {
    form->FlatButton4->Click();
}

QStringList CheckTest::rows() const {
    QStringList out;
    TMemTable *km = form->KM;
    for (int r = 1; r <= km->RecordCount(); ++r) {
        QString bookings = km->FieldValueAt(r, form->KMHASBOOKS).toBool() ? QStringLiteral("Ja")
                                                                          : QStringLiteral("Nein");
        out << QStringLiteral("%1:%2:%3")
                   .arg(km->FieldValueAt(r, form->KMID).toInt())
                   .arg(km->FieldValueAt(r, form->KMBSTN).toString(), bookings);
    }
    return out;
}

QList<int> CheckTest::rowIds() const {
    QList<int> out;
    for (int r = 1; r <= form->KM->RecordCount(); ++r)
        out << form->KM->FieldValueAt(r, form->KMID).toInt();
    return out;
}

QList<int> CheckTest::storedIds() const {
    QList<int> out;
    DBHANDLE a = 0;
    const QByteArray path = Cp1252::fromQString(m_dir.path() + QStringLiteral("/ArtikelMain.TBL"));
    if (DbOpenTable(m_connection, path.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                    DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &a) != 0)
        return out;
    DBHANDLE byId = 0;
    DbGetIndexHandle(a, "ID", &byId);
    DbGotoTop(byId);
    for (;;) {
        uint16_t eof = 0;
        DbAtEOF(a, &eof);
        if (eof)
            break;
        char buf[32] = {};
        uint32_t len = sizeof buf;
        DbGetField(a, 1, buf, &len, DB_TRIM_RIGHT);
        out << QByteArray(buf).toInt();
        DbSkip(byId, 1);
    }
    DbCloseTable(a);
    return out;
}

QString CheckTest::storedNumber(int id) const {
    DBHANDLE a = 0;
    const QByteArray path = Cp1252::fromQString(m_dir.path() + QStringLiteral("/ArtikelMain.TBL"));
    if (DbOpenTable(m_connection, path.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                    DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &a) != 0)
        return QStringLiteral("<nicht lesbar>");
    DBHANDLE byId = 0;
    DbGetIndexHandle(a, "ID", &byId);
    const QByteArray key = QByteArray::number(id);
    uint16_t found = 0;
    DbSeek(byId, reinterpret_cast<const uint8_t *>(key.constData()), uint16_t(key.size()),
           DB_KEY_TEXT, DB_SEEK_HARD, &found);
    QString out = QStringLiteral("<fehlt>");
    if (found) {
        char buf[64] = {};
        uint32_t len = sizeof buf;
        DbGetField(a, 4, buf, &len, DB_TRIM_RIGHT);
        out = Cp1252::toQString(buf);
    }
    DbCloseTable(a);
    return out;
}

void CheckTest::addBooking(int articleId) {
    DBHANDLE b = 0;
    const QByteArray path = Cp1252::fromQString(m_dir.path() + QStringLiteral("/Artikelsub.TBL"));
    ok(DbOpenTable(m_connection, path.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                   DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &b));
    ok(DbAppendRecord(b));
    setText(b, 2, QString::number(articleId));
    ok(DbWriteRecord(b));
    ok(DbCloseTable(b));
}

void CheckTest::answerInput(const QString &text, bool cancel) {
    m_inputPending = true;
    m_inputText = text;
    m_inputCancel = cancel;
}

void CheckTest::watchModalWindows() {
    // Modal windows run their own event loop; a timer of the test answers them from inside it.
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [this, timer] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto *box = qobject_cast<TFSB_BOX *>(w)) {
                const bool question = box->Pquestion && !box->Pquestion->isHidden();
                boxes.push_back({box->MessageLabel->Text(), question});
                if (question)
                    (m_yes ? box->FB_OK : box->FB_BREAK1)->Click();
                else
                    box->FB_BREAK2->Click();
                return;
            }
            if (auto *input = qobject_cast<TInputQueryForm *>(w)) {
                inputShown = input->Edit()->text();
                inputMaxLength = input->Edit()->maxLength();
                if (!m_inputPending || m_inputCancel) {
                    input->CancelButton()->click();
                } else {
                    input->Edit()->setText(m_inputText);
                    input->OkButton()->click();
                }
                m_inputPending = false;
                return;
            }
        }
    });
    timer->start();
    m_timer.reset(timer);
}
