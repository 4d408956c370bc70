#pragma once

#include "DemoGameInCubes.h"
#include "LoadSequence.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "TFormEditorDAT.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormMain.h"
#include "TestFiles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

// The Vice City demo game written to a temporary folder, loaded in cubes mode by the
// program's own load sequence, its main window shown; closed again without saving.
class LoadedDemoGame : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chooseDemoGameInCubes(m_game, m_settings), "");
        ASSERT_TRUE(RunLoadSequence());
        main = programWindows().Main;
        ipl = static_cast<TFormEditorIPL*>(programWindows().IPLEditor);
        ide = static_cast<TFormEditorIDE*>(programWindows().IDEEditor);
        dat = static_cast<TFormEditorDAT*>(programWindows().DATEditor);
        item = static_cast<TFormEditorItem*>(programWindows().ItemEditor);
        main->resize(1200, 800);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    }

    void TearDown() override
    {
        if (main) {
            dialogs.answers = {DialogAnswer::No};
            main->close();
        }
        DestroyProgramWindows();
    }

    TempDir m_game;
    std::optional<GameSettingsScope> m_settings;
    ScriptedDialogService dialogs;
    TFormMain* main = nullptr;
    TFormEditorIPL* ipl = nullptr;
    TFormEditorIDE* ide = nullptr;
    TFormEditorDAT* dat = nullptr;
    TFormEditorItem* item = nullptr;
};
