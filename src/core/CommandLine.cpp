// SPDX-License-Identifier: MIT
#include "core/CommandLine.h"

#include "core/frmMain.h"
#include "platform/Version.h"

QString joinArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

QString commandLinePath(QString text) {
    const QChar quote(u'"');
    if (text.startsWith(quote)) {
        text.remove(0, 1);
    }
    if (text.endsWith(quote)) {
        text.chop(1);
    }
    if (text.contains(quote)) {
        return {};
    }
    return text;
}

QString commandLineReply(const QString& text) {
    const bool help = text == QLatin1String("--help");
    if ((!help && text != QLatin1String("--version")) || frmMain::FileExists(text)) {
        return {};
    }
    if (!help) {
        return QStringLiteral("Logwarden %1\n").arg(QLatin1String(version::Text));
    }
    return QStringLiteral(
        "使い方: logwarden [ファイル]\n"
        "ログファイルの末尾の行をウィンドウに表示します（監視はメニューから開始します）。\n"
        "引数全体を一つのパスとして扱うので、空白を含むパスにも引用符は要りません。\n"
        "前後を囲む一組の \" は取り除きます。\n"
        "\n"
        "  --help     この説明を表示して終了します\n"
        "  --version  バージョンを表示して終了します\n"
        "\n"
        "カレントフォルダーに同じ名前のファイルがあるときは、そのファイルを開きます。\n"
        "設定はカレントフォルダーの Logwarden.ini に保存されます。\n");
}
