#pragma once

#include "ItemPanel.h"

class ArchiveMarker;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
struct TGTASObjsObj;

// The page of an object definition of an IDE file: `panelideobjs` for objs records,
// `panelidetobj` for timed objects, which add their hours. The markers tell whether the
// archive holds the model and the texture dictionary; the "..." buttons pick either name
// from the archive.
class DefinitionPanel : public ItemPanel {
    Q_OBJECT
public:
    DefinitionPanel(TFormEditorItem& editor, bool timed);
    void load() override;
    // The model and texture markers of the selected record.
    void updateMarkers();

    // The objs page's controls; nullptr on the tobj page.
    QLineEdit* EditIDEObjsID = nullptr;
    QLineEdit* EditIDEObjsModel = nullptr;
    QLineEdit* EditIDEObjsTexture = nullptr;
    QLineEdit* EditIDEObjsU4 = nullptr;
    QLineEdit* EditIDEObjsLOD = nullptr;
    QLineEdit* EditIDEObjsFlags = nullptr;
    QListWidget* ide_bits = nullptr;
    ArchiveMarker* PaintBox1 = nullptr;
    ArchiveMarker* PaintBox2 = nullptr;
    QPushButton* BtnIDEObjsModel = nullptr;
    QPushButton* BtnIDEObjsTexture = nullptr;

    // The tobj page's controls; nullptr on the objs page.
    QLineEdit* EditIDETObjID = nullptr;
    QLineEdit* EditIDETObjModel = nullptr;
    QLineEdit* EditIDETObjTexture = nullptr;
    QLineEdit* EditIDETObjU4 = nullptr;
    QLineEdit* EditIDETObjLOD = nullptr;
    QLineEdit* EditIDETObjFlags = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QComboBox* EditIDETObjTimeOn = nullptr;
    QComboBox* EditIDETObjTimeOff = nullptr;
    ArchiveMarker* PaintBox3 = nullptr;
    ArchiveMarker* PaintBox4 = nullptr;
    QPushButton* BtnIDETObjModel = nullptr;
    QPushButton* BtnIDETObjTexture = nullptr;

    // Both pages: lists every placement of the record's ID in the find window.
    QPushButton* BtnFindPlacements = nullptr;
    void BtnFindPlacementsClick();

    // Change handlers, shared by both pages.
    void idChange();
    void modelChange();
    void textureChange();
    void meshCountChange();
    void drawDistanceChange();
    void flagsChange();
    void flagBitsClickCheck();
    void timeOnChange();
    void timeOffChange();
    void modelButtonClick();
    void textureButtonClick();

private:
    // The selected record of this page's section, nullptr when another is selected.
    TGTASObjsObj* record() const;
    // A changed model or dictionary name: the archive is asked again for both.
    void dropCachedModel(bool textureChanged);
    // Shows `text` in `box` without it counting as an edit.
    void showQuietly(QLineEdit* box, const QString& text);
    void pickName(bool texture);

    const bool m_timed;
    // This page's controls, whichever names they carry.
    QLineEdit* m_id = nullptr;
    QLineEdit* m_model = nullptr;
    QLineEdit* m_texture = nullptr;
    QLineEdit* m_meshCount = nullptr;
    QLineEdit* m_drawDistance = nullptr;
    QLineEdit* m_flags = nullptr;
    QListWidget* m_flagBits = nullptr;
    ArchiveMarker* m_modelMarker = nullptr;
    ArchiveMarker* m_textureMarker = nullptr;
    QPushButton* m_modelButton = nullptr;
    QPushButton* m_textureButton = nullptr;
};
