// SPDX-License-Identifier: MIT
#include "RecentSlots.h"
#include "files/RecentFiles.h"

#include <QtTest>

namespace {

using namespace logwarden;
using namespace logwarden::files;

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The list before '>', the path opened after it.
    void addRecentOrder() {
        for (const QString& change :
             QStringList{aToJ + ">d>d,a,b,c,e,f,g,h,i,j", aToJ + ">k>k,a,b,c,d,e,f,g,h,i",
                         aToJ + ">a>" + aToJ, aToJ + ">A>A,a,b,c,d,e,f,g,h,i",
                         ",b,,d>x>x,,b,,d,,,,,", ",b,,d,e>d>d,,b,,e,,,,,",
                         aToJ + ">/tmp/x\ny>" + aToJ, aToJ + ">/tmp/x\ry>" + aToJ}) {
            RecentSlots list = slotsOf(change.section(u'>', 0, 0));
            addRecent(list, change.section(u'>', 1, 1));
            QCOMPARE(QStringList(list.begin(), list.end()).join(u','), change.section(u'>', 2));
        }
    }
};

QTEST_GUILESS_MAIN(RecentFilesTest)
#include "tst_recentfiles.moc"
