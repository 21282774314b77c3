// SPDX-License-Identifier: MIT
#include "core/CommandLine.h"

#include "platform/System.h"
#include "platform/Version.h"

namespace logwarden::core {

QString commandLinePath(const QString& text) {
    // A quote is an ordinary character of a file name here; only a pair around the whole text
    // is taken as quoting.
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        return text.sliced(1, text.size() - 2);
    }
    return text;
}

QString commandLineReply(const QString& text) {
    const bool help = text == QLatin1String("--help");
    if ((!help && text != QLatin1String("--version")) || platform::isRegularFile(text)) {
        return {};
    }
    if (!help) {
        return QStringLiteral("Logwarden %1\n").arg(QLatin1String(platform::version::Text));
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

} // namespace logwarden::core
