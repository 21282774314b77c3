// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "RecentSlots.h"
#include "Rows.h"

namespace {

// The recent list; the captions of the items that show.
using Texts = std::tuple<const char*, QString, QString>;

} // namespace

class FormRecentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The list; the captions of the items that show, the "none" item first when it shows. A tab
    // would open the shortcut column; an override would reorder the caption.
    void menuFollowsTheList_data() {
        rows<Texts>({
            {"empty", "", "(none)"},
            {"slot 1 empty, slot 3 filled", ",,/var/log/c", "(none)|&3. /var/log/c"},
            {"tab, ampersand and override", "/tmp/a&b\tc\u202Egol.exe",
             "&1. /tmp/a&&b\u2409c<U+202E>gol.exe"},
            {"full", aToJ, "&1. a|&2. b|&3. c|&4. d|&5. e|&6. f|&7. g|&8. h|&9. i|&10. j"},
        });
    }

    void menuFollowsTheList() {
        const auto [tag, list, captions] = row<Texts>();
        LoadedForm s;
        s.global.gstrRecentFiles = slotsOf(aToJ); // a rebuild must also hide what went away
        s.form.BuildRecentMenu();
        s.global.gstrRecentFiles = slotsOf(list);
        s.form.BuildRecentMenu();
        const ui::MenuArray& menu = s.form.mnuRecentList;
        QStringList shown;
        for (std::size_t i = 0; i < menu.size(); ++i) {
            QCOMPARE(menu[i].enabled(), i > 0);
            shown << (menu[i].visible() ? i == 0 ? "(none)" : menu[i].caption() : QString());
        }
        QCOMPARE(shown.filter(QRegularExpression(".")).join(u'|'), captions);
    }
};

QTEST_GUILESS_MAIN(FormRecentTest)
#include "tst_frmMainRecent.moc"
