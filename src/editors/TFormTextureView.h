#pragma once


#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class GLPanel;
class MemoryByteSource;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QTreeView;
class TGTAImg;
class TGTATxd;
class TextureListModel;
class TxdChunkList;

// The texture viewer: the textures of one dictionary of the archive set in a list, the
// format of the selected one, and the texture itself drawn over a checkerboard that shows
// through where it is transparent. The dictionary shown is held loaded while shown.
// Textures can be imported from PNG pictures, deleted and renamed; the changes are kept
// here (and shown) until "Save" writes the dictionary back to where it came from.
class TFormTextureView : public QWidget {
    Q_OBJECT
public:
    // `view` is the 3D view, whose upper left corner the first showing is placed at; may be null.
    TFormTextureView(TGTAImg* archiveSet, QWidget* view, QWidget* parent = nullptr);
    ~TFormTextureView() override;


    // Shows the dictionary at this position of the archive set (-1: none).
    void SetDictionary(int index);
    // Asks for a picture (the frame loop, while the window is visible).
    void Draw();

    // Handlers, named after their controls.
    void ListTexturesSelectItem();
    void ListTexturesColumnClick(int column);
    void ActionExportTextureExecute();
    void ActionExportAllExecute();
    void BtnImportClick();
    void BtnDeleteClick();
    void BtnRenameClick();
    void BtnSaveClick();

    // The dictionary as shown: with unsaved changes, the changed one; else the archive
    // set's. Null when none is shown.
    const TGTATxd* ShownDictionary() const;
    // Asks whether to save unsaved changes; false when the user cancels or the save failed,
    // so that whatever was to happen next does not.
    bool AskToSaveChanges();

    int DictionaryIndex = -1;
    int SelectedTexture = -1;
    std::int64_t DrawnTexture = -1; // texture object to draw, -1 for none
    std::uint16_t DrawnWidth = 0;
    std::uint16_t DrawnHeight = 0;
    std::vector<int> EntryOrder;    // row r shows texture EntryOrder[r]
    int SortColumn = -1;
    bool ContextOk = false;
    bool Modified = false; // changes not saved yet

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
    QPushButton* BtnImport = nullptr;
    QComboBox* ComboImportFormat = nullptr; // first item: the game's usual format
    QCheckBox* ChkImportMipmaps = nullptr;
    QCheckBox* ChkImportResize = nullptr;
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnRename = nullptr;
    QPushButton* BtnSave = nullptr;
    GLPanel* ViewPanel = nullptr;

signals:
    // The dictionary at this position was written back and reads its new bytes: views
    // that draw its textures draw again.
    void dictionarySaved(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    // The shown dictionary's chunks, to be changed; read on the first change. Null after
    // telling the user why it cannot be changed.
    TxdChunkList* edits();
    // Shows the changed dictionary and marks it modified; selects the texture `select`.
    void showEdits(const std::string& select);
    // Selects and shows the shown dictionary's texture of that name; false when it has none.
    bool selectTextureNamed(const std::string& name);
    void discardEdits();
    // Writes the changes back through the archive set; false after saying why not.
    bool saveChanges();
    void updateCaption();
    void enableEditing();
    QString shownFileName() const;
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
    std::unique_ptr<TxdChunkList> m_edits;
    std::unique_ptr<MemoryByteSource> m_editedBytes;
    std::unique_ptr<TGTATxd> m_edited; // the changed dictionary, read from m_editedBytes
};
