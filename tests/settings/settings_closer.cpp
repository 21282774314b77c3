// SPDX-License-Identifier: MIT
// One process of the close race. For every line on its input it starts a window in the current
// folder, gives it the settings of the variant named first on its command line, says "ready",
// and closes the window as soon as the FIFO named second can be opened, that is when the test
// opens it for writing; then it says "done".
#include "ClosingVariants.h"
#include "FakePort.h"
#include "core/frmMain.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const AppSettings variant = closingVariant(std::atoi(argv[1]));
    char line[16];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        modGlobal global;
        FakePort port;
        frmMain form(global, port, {});
        form.Form_Load();
        static_cast<AppSettings&>(global) = variant;
        std::puts("ready");
        std::fflush(stdout);
        const int go = ::open(argv[2], O_RDONLY);
        if (go < 0) {
            return 3;
        }
        ::close(go);
        form.Form_QueryUnload();
        std::puts("done");
        std::fflush(stdout);
    }
    return 0;
}
