#pragma once

class QWidget;
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
};

ProgramWindows& programWindows();
