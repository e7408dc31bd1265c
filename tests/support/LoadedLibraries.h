// Keeps the shared libraries of the OpenGL driver mapped after glfwTerminate.
//
// Terminating GLFW unloads Mesa's driver and the libraries it brought in. Whatever
// they still pointed to then looks leaked to LeakSanitizer at exit, and it cannot even
// name the module to match a suppression. Marking every loaded library "no delete"
// once the context exists keeps them mapped, so their memory stays reachable or is
// matched by the driver and X entries of the suppression file, while leaks of the
// game's own code are reported as before.
#pragma once

namespace varn::test {

// Marks every shared library loaded so far as never to be unloaded.
void keepLoadedLibrariesMapped();

}  // namespace varn::test
