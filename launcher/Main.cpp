// The process's one application object.
#include "launcher/LauncherApp.h"

LauncherApp theLauncherApp;
