// The process entry of the GUI program. The command line comes from
// GetCommandLineW; the run-time's own split of it is not used.
#include "platform/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return AfxEntry(instance);
}
