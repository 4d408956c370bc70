#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

class TFormGLViewDetached;
class TFormMain;
class TGLView;
class Twnd_setup;

// The windows that exist once per run, created by the load sequence and reached from here.
// Windows of the editors' layer are known by their widget only.
struct ProgramWindows {
    TFormMain* Main = nullptr;
    Twnd_setup* Setup = nullptr;
    TGLView* View = nullptr;
    TFormGLViewDetached* DetachedView = nullptr;
    QWidget* ItemEditor = nullptr;
    QWidget* ImgFilePicker = nullptr;
    QWidget* About = nullptr;
    QWidget* IPLEditor = nullptr;
    QWidget* IDEEditor = nullptr;
    QWidget* DATEditor = nullptr;
    QWidget* FindWindow = nullptr;
    // Every window the load sequence made, in the order it made them; destroyed in reverse,
    // so that no window outlives what it points into.
    std::vector<QPointer<QWidget>> Created;

    template <typename Window>
    Window* made(Window* window)
    {
        Created.emplace_back(window);
        return window;
    }
};

ProgramWindows& programWindows();
