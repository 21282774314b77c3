// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
// Windows guards files with access lists, which the tests do not set: what needs a file or a
// folder denied to the program is skipped there.
class PlainUser {
public:
    explicit PlainUser(const QString& = {}) {}
};
#define REQUIRE_MODES(user) QSKIP("files are not denied by modes on Windows")
#else
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Fails the test when file modes do not bind `user`: a test that needs them must not pass
// without them.
#define REQUIRE_MODES(user)                                                                        \
    QVERIFY2((user).modesApply(), "cannot give up root's rights over file modes")

// While it lives, the calling thread meets file modes as an ordinary user does, so that "access
// denied" can be tested when the tests run as root. Root becomes nobody for this thread only:
// the raw system call changes one thread, where the C library's wrapper would change them all.
// The saved user id stays root, which lets the destructor switch back. For anyone but root it
// changes nothing, as modes already apply. Tests use modes that deny owner, group and others
// alike, so the test does not depend on who owns its files.
class PlainUser {
public:
    // `openFolder`, when given, is opened to everyone first, so that nobody can work in it.
    explicit PlainUser(const QString& openFolder = {}) : mWasRoot(::geteuid() == 0) {
        if (mWasRoot && !openFolder.isEmpty()) {
            ::chmod(QFile::encodeName(openFolder).constData(), 0777);
        }
        mSwitched = mWasRoot && ::syscall(SYS_setresuid, Nobody, Nobody, 0) == 0;
    }
    ~PlainUser() {
        if (mSwitched) {
            ::syscall(SYS_setresuid, 0, 0, 0);
        }
    }

    // Whether file modes now bind this thread; a test that needs them fails when they do not.
    bool modesApply() const { return !mWasRoot || (mSwitched && ::geteuid() == Nobody); }

private:
    static constexpr uid_t Nobody = 65534;
    bool mWasRoot;
    bool mSwitched;
};
#endif
