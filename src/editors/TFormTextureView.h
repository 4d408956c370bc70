#pragma once

#include "MenuActionWindow.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

class GLPanel;
class QAction;
class QLabel;
class QToolButton;
class QTreeView;
class TGTAImg;
class TextureListModel;

// The texture viewer: the textures of one dictionary of the archive set in a list, the
// format of the selected one, and the texture itself drawn over a checkerboard that shows
// through where it is transparent. The dictionary shown is held loaded while shown.
class TFormTextureView : public QWidget, public MenuActionWindow {
    Q_OBJECT
public:
    // `view` is the 3D view, whose upper left corner the first showing is placed at; may be null.
    TFormTextureView(TGTAImg* archiveSet, QWidget* view, QWidget* parent = nullptr);
    ~TFormTextureView() override;

    void SetMenuAction(QAction* action) override;

    // Shows the dictionary at this position of the archive set (-1: none).
    void SetDictionary(int index);
    // Asks for a picture (the frame loop, while the window is visible).
    void Draw();

    // Handlers, named after their controls.
    void ListTexturesSelectItem();
    void ListTexturesColumnClick(int column);
    void ActionExportTextureExecute();
    void ActionExportAllExecute();

    int DictionaryIndex = -1;
    int SelectedTexture = -1;
    std::int64_t DrawnTexture = -1; // texture object to draw, -1 for none
    std::uint16_t DrawnWidth = 0;
    std::uint16_t DrawnHeight = 0;
    std::vector<int> EntryOrder;    // row r shows texture EntryOrder[r]
    int SortColumn = -1;
    QPointer<QAction> MenuAction;
    bool ContextOk = false;
    bool FirstShow = true;

    QWidget* FilePanel = nullptr;
    QLabel* FilenameLabel = nullptr;
    QLabel* FilenameValue = nullptr;
    QWidget* LeftPanel = nullptr;
    QTreeView* ListTextures = nullptr;
    QWidget* InfoPanel = nullptr;
    QLabel* TextureNameLabel = nullptr;
    QLabel* TextureNameValue = nullptr;
    QLabel* AlphaNameLabel = nullptr;
    QLabel* AlphaNameValue = nullptr;
    QLabel* SizeLabel = nullptr;
    QLabel* SizeValue = nullptr;
    QLabel* BPPLabel = nullptr;
    QLabel* BPPValue = nullptr;
    QLabel* AlphaLabel = nullptr;
    QLabel* AlphaValue = nullptr;
    QLabel* MipMapsLabel = nullptr;
    QLabel* MipMapsValue = nullptr;
    QLabel* CompressionLabel = nullptr;
    QLabel* CompressionValue = nullptr;
    QToolButton* BtnExport = nullptr;
    QAction* ActionExportTexture = nullptr;
    QAction* ActionExportAll = nullptr;
    GLPanel* ViewPanel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Refresh();
    void ShowInformation();
    void selectRow(int row);
    void initializeGL();
    void paintGL();
    void releaseGL();
    // The texture object to draw: the dictionary's own, or when OpenGL took no image for it
    // (a format the driver cannot decode) the texture decoded in software.
    std::uint32_t textureToDraw();

    TGTAImg* m_set = nullptr;
    QWidget* m_view = nullptr;
    TextureListModel* m_model = nullptr;
    std::uint32_t m_checkerTexture = 0;
    std::uint32_t m_fallbackTexture = 0;
    int m_fallbackDictionary = -1; // what m_fallbackTexture holds
    int m_fallbackIndex = -1;
};
