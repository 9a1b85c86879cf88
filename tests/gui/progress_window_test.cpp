#include "gui/link/CProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <thread>

using omnar::gui::link::CProgress;

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void textsByKindAndLanguage_data();
    void textsByKindAndLanguage();
    void closeRequestedBeforeItOpensIsNotLost();
    void closeFromAWorkerThreadEndsTheWait();
    void operatorCannotDismissIt();
};

void ProgressWindowTest::textsByKindAndLanguage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("text");
    QTest::newRow("connect en") << 1 << false << QString::fromUtf8("Connecting device,please waiting");
    QTest::newRow("connect zh") << 1 << true << QString::fromUtf8("正在连接设备，请等侯");
    QTest::newRow("resolution en") << 2 << false << QString::fromUtf8("Changing resolution");
    QTest::newRow("resolution zh") << 2 << true << QString::fromUtf8("正在修改分辨率");
    QTest::newRow("dot clock en") << 3 << false << QString::fromUtf8("Changing dotlock");
    QTest::newRow("dot clock zh") << 3 << true << QString::fromUtf8("正在修改点频");
    // Any other kind keeps the template text, in either language.
    QTest::newRow("kind 0") << 0 << true << QString::fromUtf8("Connecting device，please waiting.........");
    QTest::newRow("kind 4") << 4 << false << QString::fromUtf8("Connecting device，please waiting.........");
}

void ProgressWindowTest::textsByKindAndLanguage()
{
    QFETCH(int, kind);
    QFETCH(bool, chinese);
    QFETCH(QString, text);
    QCOMPARE(CProgress::text(kind, chinese), text);

    // The window picks its text when it opens, not when it is configured.
    CProgress p;
    p.setKind(kind);
    p.setLanguage(chinese);
    p.requestClose();
    p.exec();
    QCOMPARE(p.shownText(), text);
    QCOMPARE(p.findChild<QLabel*>(QStringLiteral("IDC_PROGRESS_TEXT"))->accessibleName(), text);
}

void ProgressWindowTest::closeRequestedBeforeItOpensIsNotLost()
{
    CProgress p;
    p.requestClose(); // the worker failed before the window appeared
    QCOMPARE(p.exec(), int(QDialog::Accepted));
    QVERIFY(!p.isVisible());
    // One request ends one run.
    QVERIFY(!p.closeRequested());

    // The queued half of the early request must not close a later run.
    bool closedByTheSecondRequest = false;
    QTimer::singleShot(0, &p, [&] {
        QVERIFY(p.isVisible());
        closedByTheSecondRequest = true;
        p.requestClose();
    });
    p.exec();
    QVERIFY(closedByTheSecondRequest);
}

void ProgressWindowTest::closeFromAWorkerThreadEndsTheWait()
{
    for (int kind : {1, 2, 3}) {
        CProgress p;
        p.setKind(kind);
        std::thread worker;
        // Start the worker once the modal loop runs; it may finish before or
        // after the window is painted, both must end the wait.
        QTimer::singleShot(0, &p, [&] { worker = std::thread([&] { p.requestClose(); }); });
        QCOMPARE(p.exec(), int(QDialog::Accepted));
        worker.join();
        QVERIFY(!p.isVisible());
    }
}

void ProgressWindowTest::operatorCannotDismissIt()
{
    CProgress p;
    int attempts = 0;
    QTimer::singleShot(0, &p, [&] {
        QTest::keyClick(&p, Qt::Key_Escape);
        QVERIFY(p.isVisible());
        QVERIFY(!p.close());
        p.reject();
        QVERIFY(p.isVisible());
        attempts = 3;
        p.requestClose();
    });
    p.exec();
    QCOMPARE(attempts, 3);
    QVERIFY(!p.isVisible());
}

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
