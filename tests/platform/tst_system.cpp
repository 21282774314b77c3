// SPDX-License-Identifier: MIT
#include "TempFiles.h"
#include "platform/System.h"

#include <sys/stat.h>

namespace {} // namespace

class SystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileExistsOnlyForRegularFiles() {
        TempWorkDir dir;
        dir.write("app.log", "x");
        dir.write(".xsession-errors", "x");
        QVERIFY(QFile::link(dir.path("app.log"), dir.path("link")));
        QVERIFY(QFile::link(dir.path("gone"), dir.path("dangling")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.path("fifo")).constData(), 0600), 0);
        QString exists;
        for (const char* name :
             {"app.log", ".xsession-errors", "link", "missing", ".", "dangling", "fifo"}) {
            exists += logwarden::platform::isRegularFile(dir.path(name)) ? '1' : '0';
        }
        QCOMPARE(exists, "1110000");
        QVERIFY(!logwarden::platform::isRegularFile({}) &&
                !logwarden::platform::isRegularFile("/dev/null"));
    }
};

QTEST_GUILESS_MAIN(SystemTest)
#include "tst_system.moc"
