// SPDX-License-Identifier: MIT
#include "ShownWindow.h"
#include "TempFiles.h"
#include "core/frmMain.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/TextView.h"
#include "gui/Twips.h"
#include "view/Layout.h"

#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

namespace {

// The window on a log of thirty lines, in a temporary folder.
struct LiveLog {
    TempWorkDir dir;
    QString path = dir.write(QStringLiteral("app.log"), numberedLines(1, 30));
};

struct Live : LiveLog, ShownWindow<QtPort> {
    Live() : ShownWindow<QtPort>(path) {}
    qint64 iconKey() const { return window.windowIcon().cacheKey(); }
};

qint64 imageKey(int index) {
    return windowIconImage(index).cacheKey();
}

// Counts every hide of a widget or of its native window.
class HideCounter : public QObject {
public:
    int hides = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            ++hides;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class LiveWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void appendedLineAppearsWhileMonitoring();
    void backgroundUpdateFlashesTheIcon();
    void stayOnTopKeepsTheNativeWindow();
    void outerSizeStaysWithinItsLimits();
    void panelsFollowTheTwipsAtTheScreenDpi();
    void formOutlivesItsWindow();
};

void LiveWindowTest::appendedLineAppearsWhileMonitoring() {
    Live w;
    w.window.textView().setFocus(); // the keys reach the menu from the view too
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption() + QStringLiteral(" - 監視中"));
    w.dir.append(QStringLiteral("app.log"), "appended while watched\n");
    QTRY_VERIFY_WITH_TIMEOUT(
        w.window.textView().toPlainText().contains(QStringLiteral("appended while watched")), 5000);
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+E")));
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption());
}

void LiveWindowTest::backgroundUpdateFlashesTheIcon() {
    Live w;
    QCOMPARE(w.iconKey(), imageKey(0));
    w.form.mnuMonitorStart.click();
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!w.window.isActiveWindow());

    w.dir.append(QStringLiteral("app.log"), "news\n");
    QTRY_COMPARE_WITH_TIMEOUT(w.iconKey(), imageKey(2), 5000);
    QTRY_COMPARE(w.iconKey(), imageKey(1));
    QTRY_COMPARE(w.iconKey(), imageKey(2));

    w.window.activateWindow();
    QTRY_VERIFY(w.window.isActiveWindow());
    QTRY_COMPARE(w.iconKey(), imageKey(0));
    QVERIFY(!w.form.timFlash.enabled());
}

void LiveWindowTest::stayOnTopKeepsTheNativeWindow() {
    Live w;
    const WId native = w.window.winId();
    const QRect frame = w.window.frameGeometry();
    HideCounter counter;
    w.window.installEventFilter(&counter);
    w.window.windowHandle()->installEventFilter(&counter);
    QSignalSpy visibility(w.window.windowHandle(), &QWindow::visibleChanged);

    QTest::keyClick(&w.window, Qt::Key_F4);
    QVERIFY(w.global.gblnModeWindowForward);
    QVERIFY(w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    w.window.resize(w.window.size() + QSize(30, 20)); // every layout pass re-asserts it
    w.window.resize(w.window.size() - QSize(30, 20));
    QTest::keyClick(&w.window, Qt::Key_F4);
    QVERIFY(!w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(&w.window, Qt::Key_F4);
    w.form.Form_QueryUnload(); // closing takes it off the top and keeps the setting
    QVERIFY(!w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w.global.gblnModeWindowForward);

    QCOMPARE(w.window.winId(), native);
    QCOMPARE(w.window.frameGeometry(), frame);
    QVERIFY(w.window.isVisible());
    QCOMPARE(counter.hides, 0);
    QCOMPARE(visibility.count(), 0);
}

void LiveWindowTest::outerSizeStaysWithinItsLimits() {
    Live w;
    const Twips twips(w.window);
    const QSize decorations = w.window.frameGeometry().size() - w.window.size();
    const QSize least = w.window.minimumSize() + decorations;
    QVERIFY(twips.fromPixelsX(least.width()) >= MinimumOuterTwips);
    QVERIFY(twips.fromPixelsY(least.height()) >= MinimumOuterTwips);
    QVERIFY(twips.fromPixelsX(least.width() - 1) < MinimumOuterTwips);
    QVERIFY(twips.fromPixelsY(least.height() - 1) < MinimumOuterTwips);

    w.window.resize(10, 10);
    QCOMPARE(w.window.size(), w.window.minimumSize());
    // Nor beyond what a desktop can show: a size asked for from outside must not cost gigabytes.
    w.window.resize(32767, 32767);
    QVERIFY(w.window.width() <= 2 * w.window.screen()->virtualSize().width());
    QVERIFY(w.window.height() <= 2 * w.window.screen()->virtualSize().height());
    QVERIFY(w.form.window.outerSize().width >= MinimumOuterTwips);
    QVERIFY(w.form.window.outerSize().height >= MinimumOuterTwips);
    QCOMPARE(w.form.txtView.rect().height,
             std::max(0.0, w.form.window.clientSize().height - w.form.txtView.rect().top));
}

void LiveWindowTest::panelsFollowTheTwipsAtTheScreenDpi() {
    Live w;
    w.form.mnuViewSearchWord.click();
    const Twips twips(w.window);
    const QList<QLabel*> labels = w.window.findChildren<QLabel*>();
    const auto value = std::find_if(labels.begin(), labels.end(),
                                    [&](const QLabel* label) { return label->text() == w.path; });
    QVERIFY(value != labels.end());
    const QLabel& pathLabel = **value;
    QCOMPARE(pathLabel.parentWidget()->geometry(), twips.toPixels(w.form.fraFilePath.rect()));
    QCOMPARE(pathLabel.x(), twips.toPixelsX(1500));
    QCOMPARE(pathLabel.width(), twips.toPixelsX(w.form.fraFilePath.rect().width - 1600));
    QCOMPARE(w.window.textView().geometry(), twips.toPixels(w.form.txtView.rect()));
    QCOMPARE(w.window.textView().y(), twips.toPixelsY(1225));

    // No label cuts a line of its text, and each stays inside its panel's border.
    QCOMPARE(labels.size(), 8);
    for (const QLabel* label : labels) {
        QVERIFY2(label->height() >= label->fontMetrics().height(), qPrintable(label->text()));
        const auto* panel = qobject_cast<const QFrame*>(label->parentWidget());
        QVERIFY2(panel && panel->contentsRect().contains(label->geometry()),
                 qPrintable(label->text()));
    }
}

void LiveWindowTest::formOutlivesItsWindow() {
    TempWorkDir dir;
    modGlobal global;
    QtPort port;
    frmMain form(global, port, {});
    {
        MainWindow window(form);
        port.attach(&window);
        form.Form_Load();
        window.showInChosenState();
    }
    // Nothing may reach the destroyed widgets (the sanitizer build catches a stale observer).
    form.window.setCaption(QStringLiteral("after"));
    form.window.setIcon(2);
    form.window.reportGeometry(ui::WindowState::Normal, {3000, 3000}, {2880, 2205});
    form.Form_Resize();
    form.txtView.setText(QStringLiteral("text"));
    form.timFlash.setEnabled(true);
    form.timFileCheck.setEnabled(true);
    form.mnuViewText.click();
    form.AddRecentFile(QStringLiteral("/tmp/after.log"));
    QCOMPARE(form.window.outerSize(), (ui::Size{4000, 4000}));
}

QTEST_MAIN(LiveWindowTest)
#include "tst_livewindow.moc"
