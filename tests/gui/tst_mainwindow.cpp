// SPDX-License-Identifier: MIT
#include "FakePort.h"
#include "ShownWindow.h"
#include "TempFiles.h"
#include "core/frmMain.h"
#include "gui/Fonts.h"
#include "gui/MainWindow.h"
#include "gui/TextView.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {

QAction* findAction(QWidget& root, const QString& text) {
    for (QAction* action : root.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuBarHasTheFiveMenus();
    void designStatesReachTheActions();
    void shortcutsReachTheirHandlers_data();
    void shortcutsReachTheirHandlers();
    void commandLineFileIsShown();
    void japaneseGlyphsArePresentInTheFont();
};

void MainWindowTest::menuBarHasTheFiveMenus() {
    TempWorkDir dir;
    ShownWindow<FakePort> w;
    QStringList titles;
    for (QAction* action : w.window.menuBar()->actions()) {
        titles << action->text();
    }
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "編集(&E)", "モニタリング(&M)", "表示(&V)",
                                  "オプション(&O)"}));
}

void MainWindowTest::designStatesReachTheActions() {
    TempWorkDir dir;
    ShownWindow<FakePort> w;
    QAction* start = findAction(w.window, QStringLiteral("開始(&S)"));
    QVERIFY(start);
    QVERIFY(!start->isEnabled());
    QCOMPARE(start->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QAction* icon = findAction(w.window, QStringLiteral("アイコンの点滅"));
    QVERIFY(icon && icon->isChecked() && !icon->isEnabled());
    QAction* buffer = findAction(w.window, QStringLiteral(" 25KB"));
    QVERIFY(buffer && buffer->isChecked());
    QAction* none = findAction(w.window, QStringLiteral("（なし）"));
    QVERIFY(none && !none->isEnabled() && none->isVisible());
}

void MainWindowTest::shortcutsReachTheirHandlers_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("inputs");
    QTest::addColumn<bool>("searchPanel");
    QTest::newRow("Ctrl+F asks for a keyword") << QKeySequence("Ctrl+F") << 1 << false;
    QTest::newRow("F9 shows the keyword panel") << QKeySequence("F9") << 0 << true;
}

void MainWindowTest::shortcutsReachTheirHandlers() {
    QFETCH(QKeySequence, keys);
    QFETCH(int, inputs);
    QFETCH(bool, searchPanel);
    TempWorkDir dir;
    ShownWindow<FakePort> w;
    w.window.textView().setFocus();
    QTest::keySequence(&w.window, keys);
    QCOMPARE(int(w.port.inputs.size()), inputs);
    QCOMPARE(w.global.gblnViewSearchWord, searchPanel);
}

void MainWindowTest::commandLineFileIsShown() {
    TempWorkDir dir;
    const QString folder =
        QStringLiteral("a-folder-deep-enough-to-be-too-long-for-the-label/").repeated(3);
    QVERIFY(QDir().mkpath(folder));
    const QString path = dir.write(folder + "app<b>.log", numberedLines(1, 30));
    ShownWindow<FakePort> w(path);
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Logwarden (ver 1.1.0)"));
    QCOMPARE(w.window.textView().toPlainText(), QString::fromLatin1(numberedLines(12, 30, false)));
    const auto label = [&](const QString& toolTipPart) {
        const QList<QLabel*> labels = w.window.findChildren<QLabel*>();
        const auto it = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) {
            return l->toolTip().contains(toolTipPart.toHtmlEscaped());
        });
        return it == labels.end() ? nullptr : *it;
    };
    // The path keeps both ends and shows whole, as plain text, in its tooltip.
    const QLabel* pathLabel = label(path);
    QVERIFY(pathLabel);
    QVERIFY(pathLabel->text().startsWith(path.left(10)));
    QVERIFY(pathLabel->text().endsWith(QStringLiteral("app<b>.log")));
    QVERIFY(pathLabel->text().contains(QChar(0x2026)));
    QVERIFY(label(QStringLiteral("文字コード: UTF-8（自動判定）")));
}

void MainWindowTest::japaneseGlyphsArePresentInTheFont() {
    const QFontMetrics metrics(windowFont(9));
    const QString sample =
        QStringLiteral("ファイルパス：タイムスタンプ監視中抽出キーワード最近開いた");
    for (const QChar ch : sample) {
        QVERIFY2(metrics.inFont(ch), qPrintable(QStringLiteral("missing glyph ") + ch));
    }
    QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
