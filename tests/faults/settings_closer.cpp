// One process of the close race: starts the window in the current folder, takes the settings
// of the variant named on the command line, says "ready", and closes as soon as the FIFO named
// second can be opened, that is when the test opens it for writing.
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
    modGlobal global;
    FakePort port;
    frmMain form(global, port, {});
    form.Form_Load();
    static_cast<AppSettings&>(global) = closingVariant(std::atoi(argv[1]));
    std::puts("ready");
    std::fflush(stdout);
    const int go = ::open(argv[2], O_RDONLY);
    if (go < 0) {
        return 3;
    }
    ::close(go);
    form.Form_QueryUnload();
    return 0;
}
