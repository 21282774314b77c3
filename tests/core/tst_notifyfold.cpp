// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "core/NotifyFold.h"

namespace {

using namespace logwarden::core;

// Steps: "R*N" offers N lines of rule R (the first of them named after the step's place), "t"
// is a tick. What is sent: "rule:line+more", in order.
using Fold = std::tuple<const char*, QString, QString>;

} // namespace

class NotifyFoldTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void foldsBurstsPerRule_data() {
        rows<Fold>({
            {"one line: told at once", "1*1", "1:s0+0"},
            {"a burst in one read: one note", "1*3", "1:s0+2"},
            {"held while quiet, told when it ends", "1*1 2*1 t 1*2 1*1 t t t", "1:s0+0 2:s1+0"},
            {"the quiet's end tells what it held", "1*1 t 1*2 1*1 t t t t", "1:s0+0 1:s2+2"},
            {"and is quiet again after it", "1*1 t 1*1 t t t t 1*1 t t t t t",
             "1:s0+0 1:s2+0 1:s7+0"},
            {"a quiet that held nothing ends", "1*1 t t t t t 1*1", "1:s0+0 1:s6+0"},
            {"rules fold apart", "1*1 2*1 1*1 2*1 t t t t t", "1:s0+0 2:s1+0 1:s2+0 2:s3+0"},
            {"no line, no note", "1*0 t", ""},
        });
    }

    void foldsBurstsPerRule() {
        const auto [tag, steps, sent] = row<Fold>();
        NotifyFold fold;
        QStringList told;
        const auto tell = [&](const NotifyFold::Note& note) {
            QCOMPARE(note.file, QStringLiteral("app.log"));
            told << QStringLiteral("%1:%2+%3").arg(note.rule).arg(note.line).arg(note.more);
        };
        const QStringList list = steps.split(u' ');
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i] == u't') {
                for (const NotifyFold::Note& note : fold.tick()) {
                    tell(note);
                }
            } else if (const auto note = fold.offer(list[i].section(u'*', 0, 0).toInt(), "app.log",
                                                    QStringLiteral("s%1").arg(i),
                                                    list[i].section(u'*', 1).toInt())) {
                tell(*note);
            }
        }
        QCOMPARE(told.join(u' '), sent);
    }
};

QTEST_GUILESS_MAIN(NotifyFoldTest)
#include "tst_notifyfold.moc"
