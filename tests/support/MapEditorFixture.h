#pragma once

#include "DatReferences.h"
#include "GamePaths.h"
#include "MapListDriving.h"
#include "ScriptedDialogService.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Records what the editors ask of the DAT editor.
struct RecordingDatReferences : DatReferences {
    void AddIDEReference(const std::string& name) override { calls.push_back("add ide " + name); }
    void AddIPLReference(const std::string& name) override { calls.push_back("add ipl " + name); }
    bool RemoveIDEReference(const std::string& name) override
    {
        calls.push_back("remove ide " + name);
        return referenced;
    }
    bool RemoveIPLReference(const std::string& name) override
    {
        calls.push_back("remove ipl " + name);
        return referenced;
    }
    std::vector<std::string> calls;
    bool referenced = true; // whether a DAT line names the file to remove
};

// A small game folder with one IDE file and two IPL files on disk, loaded into a file list,
// and the IPL, IDE and item editors linked as the program links them, through one document. The view exists (its
// camera target is where new instances go) but is not shown.
class MapEditorFixture : public testing::Test {
protected:
    static constexpr std::string_view TownIDE = "objs\n"
                                                "10, house, town, 100, 0\n"
                                                "25, shop, town, 100, 0\n"
                                                "end\n"
                                                "tobj\n"
                                                "30, lamp, town, 1, 50, 0, 20, 6\n"
                                                "end\n";
    static constexpr std::string_view TownIPL = "inst\n"
                                                "12, tree, 0, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1\n"
                                                "10, house, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
                                                "11, Shop, 0, 10, 20, 30, 1, 1, 1, 0, 0, 0, 1\n"
                                                "end\n"
                                                "cull\n"
                                                "1.5, 2.25, -3, 0, 0, 0, 0, 0, 0, 1, 2\n"
                                                "end\n"
                                                "zone\n"
                                                "docks, 0, 0, 0, 0, 1, 1, 1, 2\n"
                                                "end\n";

    MapEditorFixture()
        : m_game(withTrailingSeparator(m_dir.path().string()), true)
        , m_files(withTrailingSeparator(m_dir.path().string()), true)
        , m_view(&m_frame, nullptr, nullptr, false, false)
    {
        writeFile(m_dir.file("data/maps/town.ide"), std::string(TownIDE));
        writeFile(m_dir.file("data/maps/town.ipl"), std::string(TownIPL));
        writeFile(m_dir.file("data/maps/docks.ipl"), std::string(TownIPL));
        for (const char* name : {"DATA\\MAPS\\TOWN.IDE", "DATA\\MAPS\\TOWN.IPL", "DATA\\MAPS\\DOCKS.IPL"})
            load(name);
        refresh();
        m_view.FollowDocument(m_document);
    }

    void load(const std::string& name)
    {
        std::unique_ptr<TGTASFile> file;
        if (name.ends_with("IDE"))
            file = std::make_unique<TIDEFile>();
        else
            file = std::make_unique<TIPLFile>();
        file->RelativeToGame = true;
        m_files.PrepareFile(*file);
        EXPECT_EQ(file->Load(name), 0) << name;
        m_files.AddFile(std::move(file));
    }

    // The editors list what is in the file list now.
    void refresh()
    {
        for (MapFileEditor* editor : {static_cast<MapFileEditor*>(&m_ipl), static_cast<MapFileEditor*>(&m_ide)}) {
            editor->RefreshFiles();
            editor->RefreshRecords();
        }
    }

    void showEditors()
    {
        m_ipl.resize(400, 700);
        m_ide.resize(400, 700);
        m_ipl.show();
        m_ide.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_ipl));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_ide));
    }

    TGTAFileList& files() { return m_files; }
    TIPLFile& ipl(int file) { return *m_files.IPLFile(file); }
    TIDEFile& ide(int file) { return *m_files.IDEFile(file); }

    TempDir m_dir;
    GameSettingsScope m_game;
    ScriptedDialogService m_dialogs;
    RecordingDatReferences m_dat;
    TGTAFileList m_files;
    MapDocument m_document{m_files};
    QWidget m_frame;
    TGLView m_view;
    TFormEditorItem m_item{m_document, &m_view};
    TFormEditorIPL m_ipl{m_document, &m_item, &m_view, &m_dat};
    TFormEditorIDE m_ide{m_document, &m_item, &m_view, &m_dat, &m_ipl};
};
