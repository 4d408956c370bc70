#pragma once

#include <QWidget>

class TGLView;

// A stay-on-top window that carries the 3D view while it is shown; closing it hands the
// view back to the main window's panel. Keys and the wheel go to the view.
class TFormGLViewDetached : public QWidget {
    Q_OBJECT
public:
    TFormGLViewDetached(TGLView* view, QWidget* mainPanel, QWidget* parent = nullptr);

    QWidget* DrawPanel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TGLView* m_view;
    QWidget* m_mainPanel;
};
