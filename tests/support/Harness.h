#pragma once
// Starts the real window in a temporary application directory with the
// test doubles, as main() would with the real services.
#include "app/Form1.h"
#include "store/Store.h"
#include "support/Doubles.h"
#include <QTemporaryDir>
#include <memory>

class Harness {
public:
    Harness();
    ~Harness();
    QString appDir() const { return dir.path(); }
    // Writes parcelio.ini lines ("section/key" -> value) before start().
    void setIni(const QString &key, const QString &value);
    // Builds the window and runs its load handler; false when it ended.
    bool start(const QString &seedSql = QString());
    // start() with SQL run once when the new database is made.
    bool startSeeded(const QByteArray &sql);
    // Waits until the update check one second after load has run to its end,
    // so that a long test starts from the state after it.
    bool passUpdateCheck();
    // Runs SQL on the database file while the window is not running.
    void execSql(const QString &sql);
    // Runs whole statements (trigger bodies too) from a connection of its
    // own, also while the window runs; false when one failed.
    bool execStatements(const QStringList &statements);
    Form1 &w() { return *form; }
    FakePlatform platform;
    // Off, as in the program: the add, edit, search and courier panels are
    // made when first opened. A test that reaches into a panel before a user
    // could have opened it turns this on (and so starts from another state).
    bool allPanels = false;
    std::unique_ptr<Form1> form;

private:
    QTemporaryDir dir;
};

// Finds a named control of the window, failing the test when it is missing.
template <typename T>
T *control(QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

// The texts of a drop-down list's entries, in order.
inline QStringList entries(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
