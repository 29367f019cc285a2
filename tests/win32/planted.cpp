// A DLL that lies beside the tests' program, as one planted in a Downloads folder would.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
