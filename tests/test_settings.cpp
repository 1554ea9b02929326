// The switches and the notification address: loaded at start-up, stored at
// once on every click, and the address check of the settings panel.
#include "support/Harness.h"

#include <QtTest>

namespace {
QString stored(Form1 &w, const char *column)
{
    const auto row = w.store().settings();
    if (!row)
        return "<no row>";
    const QString c = QString::fromUtf8(column);
    if (c == "邮件通知")
        return row->mail;
    if (c == "语音提示")
        return row->voice;
    if (c == "支持拖动")
        return row->drag;
    if (c == "关闭窗口")
        return row->closeOnClick;
    if (c == "气泡提示")
        return row->balloon;
    if (c == "默认查询")
        return row->defaultQuery;
    if (c == "自动识别")
        return row->autoRecognise;
    return row->address;
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void loadsSwitchesFromTheRow();
    void emptySettingsTableLeavesEverythingOff();
    void everyClickIsStoredAtOnce();
    void closingTheSettingsPanel();
};

void TestSettings::loadsSwitchesFromTheRow()
{
    Harness h;
    QVERIFY(h.start());
    h.form.reset();
    // Text around 是 still counts as on; anything without it is off.
    h.execSql("update setting set 邮件通知='是的', 语音提示='否', 支持拖动='', 关闭窗口='是', "
              "气泡提示='no', 默认查询='总是', 自动识别='否', 通知邮箱='me@example.cn'");
    QVERIFY(h.start());
    Form1 &w = h.w();
    QVERIFY(w.Check2->isChecked());
    QVERIFY(!w.Check3->isChecked());
    QVERIFY(!w.Check4->isChecked());
    QVERIFY(w.Check5->isChecked());
    QVERIFY(!w.Check6->isChecked());
    QVERIFY(w.Check7->isChecked());
    QVERIFY(!w.Check8->isChecked());
    QCOMPARE(w.Sendmail->text(), QString("me@example.cn"));
    QVERIFY(w.Sendmail->isEnabled());
    // Loading ran the click behaviour of the ticked boxes: their value was
    // written back in its plain form.
    QCOMPARE(stored(w, "邮件通知"), QString("是"));

    h.form.reset();
    h.execSql("update setting set 邮件通知='否'");
    QVERIFY(h.start());
    QVERIFY(!h.w().Check2->isChecked());
    QVERIFY(!h.w().Sendmail->isEnabled());
}

void TestSettings::emptySettingsTableLeavesEverythingOff()
{
    Harness h;
    QVERIFY(h.start());
    h.form.reset();
    h.execSql("delete from setting");
    QVERIFY(h.start());
    Form1 &w = h.w();
    for (QCheckBox *b : {w.Check2, w.Check3, w.Check4, w.Check5, w.Check6, w.Check7, w.Check8})
        QVERIFY(!b->isChecked());
    QCOMPARE(w.Sendmail->text(), QString("无"));
    QVERIFY(!w.Sendmail->isEnabled());
    // A click with no row to write changes nothing and keeps its new state.
    w.ShowPanel(1);
    QTest::mouseClick(w.Check7, Qt::LeftButton);
    QVERIFY(w.Check7->isChecked());
    QVERIFY(!w.store().settings().has_value());
}

void TestSettings::everyClickIsStoredAtOnce()
{
    Harness h;
    QVERIFY(h.start());
    Form1 &w = h.w();
    w.ShowPanel(1);
    const struct {
        QCheckBox *box;
        const char *column;
    } pairs[] = {{w.Check2, "邮件通知"}, {w.Check3, "语音提示"}, {w.Check4, "支持拖动"},
                 {w.Check5, "关闭窗口"}, {w.Check6, "气泡提示"}, {w.Check7, "默认查询"},
                 {w.Check8, "自动识别"}};
    for (const auto &p : pairs) {
        const bool was = p.box->isChecked();
        QTest::mouseClick(p.box, Qt::LeftButton);
        QCOMPARE(stored(w, p.column), QString(was ? "否" : "是"));
        QTest::mouseClick(p.box, Qt::LeftButton);
        QCOMPARE(stored(w, p.column), QString(was ? "是" : "否"));
    }
    QVERIFY(w.kdmenu(1)->isVisible());
    QTest::mouseClick(w.Check2, Qt::LeftButton);
    QVERIFY(w.Check2->isChecked() && w.Sendmail->isEnabled());
    QTest::mouseClick(w.Check2, Qt::LeftButton);
    QVERIFY(!w.Sendmail->isEnabled());

    // A write that fails puts the tick back and says that nothing changed.
    QVERIFY(h.execStatements(
        {"create trigger ro before update on setting begin select raise(abort, 'ro'); end"}));
    QTest::mouseClick(w.Check2, Qt::LeftButton);
    QVERIFY(!w.Check2->isChecked() && !w.Sendmail->isEnabled());
    QCOMPARE(stored(w, "邮件通知"), QString("否"));
    QCOMPARE(w.status(), QString("设置保存失败,没有做任何改动.."));
}

void TestSettings::closingTheSettingsPanel()
{
    Harness h;
    QVERIFY(h.start());
    Form1 &w = h.w();
    w.ShowPanel(1);
    QTest::mouseClick(w.Check2, Qt::LeftButton);
    QVERIFY(w.Check2->isChecked());

    auto closeWith = [&](const QString &address) {
        w.Sendmail->setText(address);
        w.x_Click(1);
    };
    closeWith("");
    QCOMPARE(w.status(), QString("请输入您的E-mail地址.."));
    QVERIFY(w.kdmenu(1)->isVisible());

    closeWith("someone.example.com");
    QCOMPARE(w.status(), QString("您的E-mail地址输入错误!请您检查!"));
    QVERIFY(w.kdmenu(1)->isVisible());
    QVERIFY(w.Check2->isChecked());

    // One address only: nothing the relay could read as a second one or as
    // options of its RCPT command.
    for (const char *many : {"<evil@x.com> NOTIFY=SUCCESS,FAILURE", "a@x.com,b@x.com", "a@x.com;b@x.com",
                             "a@x.com\tb", "me@example.cn ", "me@exa\x7fmple.cn"}) {
        closeWith(QString::fromUtf8(many));
        QCOMPARE(w.status(), QString("您的E-mail地址输入错误!请您检查!"));
        QVERIFY(w.kdmenu(1)->isVisible());
        QVERIFY(w.Check2->isChecked());
    }
    QCOMPARE(stored(w, "通知邮箱"), QString(""));

    // "@" but none of the known pieces: refused and mail switched off.
    closeWith("a@b");
    QCOMPARE(w.status(), QString("您的E-mail地址输入错误!请您检查!"));
    QVERIFY(w.kdmenu(1)->isVisible());
    QVERIFY(!w.Check2->isChecked());
    QVERIFY(!w.Sendmail->isEnabled());
    QCOMPARE(stored(w, "邮件通知"), QString("否"));
    QCOMPARE(stored(w, "通知邮箱"), QString(""));

    QTest::mouseClick(w.Check2, Qt::LeftButton);
    closeWith("me@mail.example.cn");
    QVERIFY(!w.kdmenu(1)->isVisible());
    QCOMPARE(w.status(), QString("设置完毕.."));
    QCOMPARE(stored(w, "通知邮箱"), QString("me@mail.example.cn"));

    // With mail off, closing empties the stored address.
    w.ShowPanel(1);
    QTest::mouseClick(w.Check2, Qt::LeftButton);
    w.x_Click(1);
    QVERIFY(!w.kdmenu(1)->isVisible());
    QCOMPARE(stored(w, "通知邮箱"), QString(""));
    // The close image of the panel is what runs the check.
    w.ShowPanel(1);
    QTest::mouseClick(w.x(1), Qt::LeftButton);
    QVERIFY(!w.kdmenu(1)->isVisible());
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
