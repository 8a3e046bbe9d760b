// The process entry: the command line comes from GetCommandLineW, so the
// arguments that main receives are not read here.
#include "platform/WinApp.h"

int main() {
    return AfxEntry(nullptr);
}
