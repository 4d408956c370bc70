#pragma once

// Sets what every OpenGL surface of the program uses: a double-buffered compatibility
// context (the view draws with the fixed-function API) with a depth buffer, sharing
// textures and display lists between the views. Call before the QApplication exists.
void setViewSurfaceDefaults();
