// SPDX-License-Identifier: MIT
#include "TempFiles.h"
#include "core/frmMain.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/TextView.h"

#include <QAction>
#include <QMenu>
#include <QtTest>

namespace {

// One process on the real binding: the window as the user sees it.
struct Process {
    modGlobal global;
    QtPort port;
    frmMain form{global, port, {}};
    MainWindow window{form};
    Process() {
        port.attach(&window);
        form.Form_Load();
        window.showInChosenState();
    }
};

QAction* menuItem(QWidget& root, const QString& menuTitle, const QString& text) {
    for (const QMenu* menu : root.findChildren<QMenu*>()) {
        if (menu->title() != menuTitle) {
            continue;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
    }
    qFatal("no item %s in menu %s", qPrintable(text), qPrintable(menuTitle));
}

struct Choice {
    const char* menu;
    const char* item;
};

const Choice choices[] = {
    {"背景色", "黒色"},
    {"文字色", "黄色"},
    {"文字サイズ", "15"},
    {"表示行数", "100行"},
    {"バッファサイズ", "200KB"},
    {"改行コード", "LF"},
    {"表示(&V)", "抽出キーワード"},
};

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuChoicesAreSavedAtCloseAndShownAtNextStart();
};

void SettingsWindowTest::menuChoicesAreSavedAtCloseAndShownAtNextStart() {
    TempWorkDir dir;
    {
        Process first;
        for (const Choice& choice : choices) {
            menuItem(first.window, QString::fromUtf8(choice.menu), QString::fromUtf8(choice.item))
                ->trigger();
        }
        menuItem(first.window, QStringLiteral("ファイル(&F)"), QStringLiteral("終了(&Q)"))
            ->trigger();
        QVERIFY(!first.window.isVisible());
    }

    Process next;
    for (const Choice& choice : choices) {
        const QAction* action =
            menuItem(next.window, QString::fromUtf8(choice.menu), QString::fromUtf8(choice.item));
        QVERIFY2(action->isChecked(), choice.item);
    }
    QVERIFY(!menuItem(next.window, QStringLiteral("文字サイズ"), QStringLiteral("9"))->isChecked());
    const TextView& view = next.window.textView();
    QCOMPARE(view.palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(view.palette().color(QPalette::Text), QColor(255, 255, 0));
    QCOMPARE(view.font().pointSize(), 15);
}

QTEST_MAIN(SettingsWindowTest)
#include "tst_settingswindow.moc"
