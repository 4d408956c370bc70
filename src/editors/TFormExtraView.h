#pragma once


#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class ColourBox;
class GLModelDrawer;
class GLPanel;
class MemoryByteSource;
class QAction;
class QPushButton;
class QSlider;
class SceneRenderer;
class TFormTextureView;
class TGTADff;
class TGTAFileList;
class TGTAImg;

// The secondary model view: one model apart from the map, slowly turning, zoomed and
// tilted with two sliders over a chosen background colour. It shows an archive model by
// name (compiled into its display list once per model shown), an object definition by ID
// (drawn live every frame, so edits show at once), or a loose model file. The model and
// dictionary shown are held loaded while shown; the texture viewer shows the dictionary.
class TFormExtraView : public QWidget {
    Q_OBJECT
public:
    // `view` is the 3D view, whose lower left corner the first showing is placed at; the
    // texture viewer may be null. `texturesAllowed`: textures were switched on at start-up.
    TFormExtraView(TGTAFileList* fileList, TGTAImg* archiveSet, TFormTextureView* textureView, QWidget* view,
                   bool texturesAllowed, QWidget* parent = nullptr);
    ~TFormExtraView() override;

    // The texture viewer that shows the dictionary of what this window shows.
    void SetTextureView(TFormTextureView* textureView) { m_textureView = textureView; }

    // An archive model by name (empty: nothing) with its dictionary (-1: none).
    void ShowModel(const std::string& name, int dictionaryIndex);
    // The object definition with this ID: kind 0 objs, 1 tobj.
    void ShowDefinition(int id, int kind);
    // Asks for a picture (the frame loop, while the window is visible).
    void Draw();
    void SetTextures(bool on);

    // Handlers, named after their controls.
    void BarDepthChange();
    void BarRotationChange();
    void BoxColourChange();
    void BtnViewDFFClick();
    void TimerRotateTimer();

    std::uint8_t Mode = 0; // 0 a model by name or a loose model; 2 a definition by ID
    std::string ModelName;
    int DictionaryIndex = -1;
    bool ListValid = false;
    // Kept whole: IDs run to 65535, beyond a 16-bit signed field.
    std::int32_t DefinitionID = 0;
    float Depth = -52.0f;
    float Tilt = -45.0f;
    float Spin = 0.0f;
    bool TexturesAllowed = false;
    std::uint32_t DisplayList = 0;
    bool ContextOk = false;

    QWidget* InfoPanel = nullptr;
    QSlider* BarDepth = nullptr;
    ColourBox* BoxColour = nullptr;
    QPushButton* BtnViewDFF = nullptr;
    QWidget* RotatePanel = nullptr;
    QSlider* BarRotation = nullptr;
    QTimer* TimerRotate = nullptr;
    GLPanel* ViewPanel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void initializeGL();
    void paintGL();
    void releaseGL();
    void compileList();
    // Holds what is shown now and releases what was shown before.
    void holdShown(int modelIndex, int dictionaryIndex);
    void dropLooseModel();

    TGTAFileList* m_files = nullptr;
    TGTAImg* m_set = nullptr;
    TFormTextureView* m_textureView = nullptr;
    QWidget* m_view = nullptr;
    bool m_texturing = false;
    std::array<float, 3> m_background{0.0f, 0.0f, 0.0f};
    int m_heldModel = -1;
    int m_heldDictionary = -1;
    std::unique_ptr<GLModelDrawer> m_drawer;
    std::unique_ptr<SceneRenderer> m_renderer; // definitions and the placeholder cube
    // A loose model file shown: kept (outside the archive set) while shown, so a new
    // context can compile it again.
    std::unique_ptr<MemoryByteSource> m_looseBytes;
    std::unique_ptr<TGTADff> m_looseModel;
};
