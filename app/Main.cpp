// The process entry point. No argument, command line or environment is read.
#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ExitProcess(RunProgram());
}
