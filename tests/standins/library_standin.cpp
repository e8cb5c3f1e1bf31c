// A program library, not a program: signed like the installer and served in its place, it passes
// the setup's installer check but the system refuses to start it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
