// The program's entry: WinMain in the Windows builds, main with the console
// layer on Linux. The one Script lives from before the entry until after it.
#include "flow.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
Script theScript;

// Runs the installer on the one Script, then frees everything it built.
int runOnce(ModuleHandle instance, WindowHandle previousInstance) {
    runSetup(theScript, instance, previousInstance);
    destroyScript(theScript);
    return 0;
}
}  // namespace

#ifdef _WIN32
// The Windows entry: the previous instance, always none, becomes the pages' owner.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int) {
    return runOnce(instance, reinterpret_cast<WindowHandle>(previousInstance));
}
#else
// The Linux entry: pages and boxes go through the console layer. No options.
int main() { return runOnce(nullptr, nullptr); }
#endif
