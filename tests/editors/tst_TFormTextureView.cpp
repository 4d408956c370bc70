#include "ViewerTestGame.h"

#include "GLPanel.h"
#include "ScriptedDialogService.h"
#include "TFormTextureView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include <set>

namespace {

class TextureView : public ViewerGame {
protected:
    std::unique_ptr<TFormTextureView> form;

    void SetUp() override
    {
        ViewerGame::SetUp();
        form = std::make_unique<TFormTextureView>(set.get(), nullptr);
    }
    void TearDown() override
    {
        form.reset();
        ViewerGame::TearDown();
    }

    QStringList rowNames() const
    {
        QStringList names;
        const QAbstractItemModel* model = form->ListTextures->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 1).data().toString();
        return names;
    }
    void selectRow(int row)
    {
        form->ListTextures->selectionModel()->setCurrentIndex(form->ListTextures->model()->index(row, 0),
                                                              QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
    }
    void clickHeader(int column)
    {
        QHeaderView* header = form->ListTextures->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList information() const
    {
        QStringList values;
        for (QLabel* value : {form->TextureNameValue, form->AlphaNameValue, form->SizeValue, form->BPPValue,
                              form->AlphaValue, form->MipMapsValue, form->CompressionValue})
            values << value->text();
        return values;
    }
};

TEST_F(TextureView, ShowsTheDictionaryAndTheFormatOfEachTexture)
{
    form->SetDictionary(txd("signs"));
    EXPECT_EQ(form->FilenameValue->text(), "signs.txd");
    EXPECT_EQ(rowNames(), (QStringList{"zeta", "Alpha", "mid", "flagged", "odd"}));
    EXPECT_EQ(form->ListTextures->model()->index(2, 0).data().toString(), "2");
    EXPECT_EQ(form->ListTextures->model()->headerData(0, Qt::Horizontal).toString(), "Index");
    EXPECT_EQ(form->ListTextures->model()->headerData(1, Qt::Horizontal).toString(), "Texture Name");
    // The first row is chosen at once.
    EXPECT_EQ(form->SelectedTexture, 0);
    EXPECT_EQ(information(), (QStringList{"zeta", "", "64 x 32", "32 bpp", "False", "1", "None"}));

    const struct {
        int row;
        QStringList values;
    } rows[] = {
        {1, {"Alpha", "alpham", "64 x 64", "8 bpp", "True", "1", "None"}},
        {2, {"mid", "", "64 x 64", "16 bpp", "False", "3", "DXT1"}},
        {3, {"flagged", "", "4 x 4", "32 bpp", "False", "1", "None"}}, // alpha flag 2 is not 1
        {4, {"odd", "", "4 x 4", "16 bpp", "True", "1", "Unknown"}},   // compression 2
    };
    for (const auto& row : rows) {
        selectRow(row.row);
        EXPECT_EQ(form->SelectedTexture, row.row);
        EXPECT_EQ(information(), row.values) << row.row;
    }
    for (QLabel* label : {form->FilenameLabel, form->TextureNameLabel, form->SizeLabel, form->BPPLabel,
                          form->MipMapsLabel})
        EXPECT_FALSE(label->text().isEmpty());
    EXPECT_EQ(form->FilenameLabel->text(), "File Name:");
    EXPECT_EQ(form->BPPLabel->text(), "Depth:");
    EXPECT_EQ(form->MipMapsLabel->text(), "MipMaps:");
}

TEST_F(TextureView, NoDictionaryEmptiesEverything)
{
    form->SetDictionary(txd("signs"));
    form->SetDictionary(-1);
    EXPECT_EQ(form->DictionaryIndex, -1);
    EXPECT_EQ(form->FilenameValue->text(), "");
    EXPECT_EQ(form->ListTextures->model()->rowCount(), 0);
    EXPECT_EQ(information(), QStringList(7, QString()));
    EXPECT_EQ(form->SelectedTexture, -1);
    EXPECT_EQ(form->DrawnTexture, -1);
}

TEST_F(TextureView, HeaderClicksSortAscendingThenDescendingThenAscending)
{
    form->SetDictionary(txd("signs"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    clickHeader(1);
    EXPECT_EQ(rowNames(), (QStringList{"Alpha", "flagged", "mid", "odd", "zeta"}));
    EXPECT_EQ(form->SelectedTexture, -1);
    EXPECT_EQ(information(), QStringList(7, QString()));
    EXPECT_EQ(form->DrawnTexture, -1);

    clickHeader(1);
    EXPECT_EQ(rowNames(), (QStringList{"zeta", "odd", "mid", "flagged", "Alpha"}));
    // The first row of the sorted list shows its own texture.
    selectRow(1);
    EXPECT_EQ(form->SelectedTexture, 4);
    EXPECT_EQ(form->TextureNameValue->text(), "odd");
    EXPECT_EQ(form->DrawnWidth, 4);

    clickHeader(1);
    EXPECT_EQ(rowNames(), (QStringList{"Alpha", "flagged", "mid", "odd", "zeta"}));
    clickHeader(0);
    EXPECT_EQ(rowNames(), (QStringList{"zeta", "Alpha", "mid", "flagged", "odd"}));
    clickHeader(0);
    EXPECT_EQ(rowNames(), (QStringList{"odd", "flagged", "mid", "Alpha", "zeta"}));
    selectRow(0);
    EXPECT_EQ(form->TextureNameValue->text(), "odd");
}

TEST_F(TextureView, GenericIsNeverUnloadedAndOthersOnlyWithTexturesOffAtStartUp)
{
    programSettings().SkipTextures = true;
    const int other = txd("violet");
    form->SetDictionary(0);
    form->SetDictionary(other);
    EXPECT_TRUE(set->Txds[0]->Loaded);
    EXPECT_TRUE(set->Txds[other]->Loaded);
    form->SetDictionary(txd("signs"));
    EXPECT_FALSE(set->Txds[other]->Loaded);

    programSettings().SkipTextures = false;
    form->SetDictionary(other);
    form->SetDictionary(txd("cyan"));
    EXPECT_TRUE(set->Txds[other]->Loaded);
}

// FreeUnused must not unload the shown dictionary: the viewer would read an emptied list.
TEST_F(TextureView, FreeUnusedKeepsTheShownDictionary)
{
    const int signs = txd("signs");
    form->SetDictionary(signs);
    selectRow(2);
    set->ResetUsage();
    set->FreeUnused();
    ASSERT_TRUE(set->Txds[signs]->Loaded);
    EXPECT_EQ(set->Txds[signs]->TextureCount, 5);
    EXPECT_EQ(rowNames(), (QStringList{"zeta", "Alpha", "mid", "flagged", "odd"}));
    EXPECT_EQ(form->TextureNameValue->text(), "mid");

    // Once something else is shown it is free to go.
    form->SetDictionary(txd("cyan"));
    set->ResetUsage();
    set->FreeUnused();
    EXPECT_FALSE(set->Txds[signs]->Loaded);
    EXPECT_TRUE(set->Txds[txd("cyan")]->Loaded);
}

class TextureViewPicture : public TextureView {
protected:
    void SetUp() override
    {
        TextureView::SetUp();
        form->resize(520, 300);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::processEvents();
        ASSERT_TRUE(form->ContextOk);
    }
    QImage picture() { return form->ViewPanel->grabFramebuffer(); }
    QPoint centre() const { return {form->ViewPanel->width() / 2, form->ViewPanel->height() / 2}; }
};

TEST_F(TextureViewPicture, DrawsTheChosenTextureFirstRowOnTop)
{
    form->SetDictionary(txd("signs"));
    const QImage image = picture();
    const QPoint c = centre();
    // 64 x 32 texels at about 1.2 pixels each: red above the middle, blue below.
    EXPECT_EQ(pixelAt(image, c.x(), c.y() - 8), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image, c.x(), c.y() + 8), (Rgba{0, 0, 255, 255}));
    // Beyond the texture: the window's own background.
    const QColor face = form->palette().color(QPalette::Window);
    EXPECT_EQ(pixelAt(image, c.x(), c.y() - 40), (Rgba{std::uint8_t(face.red()), std::uint8_t(face.green()),
                                                      std::uint8_t(face.blue()), 255}));
    EXPECT_EQ(pixelAt(image, c.x() + 60, c.y()), pixelAt(image, c.x(), c.y() - 40));

    form->SetDictionary(-1);
    EXPECT_EQ(pixelAt(picture(), c.x(), c.y()), pixelAt(image, c.x(), c.y() - 40));
}

TEST_F(TextureViewPicture, SeeThroughTexelsShowTheCheckerboard)
{
    form->SetDictionary(txd("signs"));
    selectRow(1); // "Alpha": wholly transparent
    const QImage image = picture();
    std::set<int> greys;
    for (int dx = -30; dx <= 30; dx += 3) {
        const Rgba p = pixelAt(image, centre().x() + dx, centre().y());
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        greys.insert(p[0]);
    }
    EXPECT_EQ(greys, (std::set<int>{153, 204}));
}

TEST_F(TextureViewPicture, TexturesOpenGLCouldNotTakeAreDecodedInSoftware)
{
    form->SetDictionary(txd("signs"));
    selectRow(2); // DXT1, uploaded without the compressed-texture entry point
    GLint width = -1;
    form->ViewPanel->makeCurrent();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(form->DrawnTexture));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    form->ViewPanel->doneCurrent();
    ASSERT_EQ(width, 0);
    EXPECT_EQ(pixelAt(picture(), centre().x(), centre().y()), (Rgba{0, 255, 0, 255}));
}

// A Direct3D 9 dictionary: its DXT1 texture is shown as DXT1 and decoded (OpenGL takes no
// compressed textures here), its R5G6B5 texture is uploaded widened.
TEST_F(TextureViewPicture, Direct3D9TexturesAreShownByTheirFormatCode)
{
    form->SetDictionary(txd("d3d9"));
    EXPECT_EQ(rowNames(), (QStringList{"d9green", "d9red"}));
    EXPECT_EQ(information(), (QStringList{"d9green", "", "8 x 8", "16 bpp", "False", "1", "DXT1"}));
    EXPECT_EQ(pixelAt(picture(), centre().x(), centre().y()), (Rgba{0, 255, 0, 255}));
    selectRow(1);
    EXPECT_EQ(information(), (QStringList{"d9red", "", "8 x 8", "16 bpp", "False", "1", "None"}));
    EXPECT_EQ(pixelAt(picture(), centre().x(), centre().y()), (Rgba{255, 0, 0, 255}));
}

TEST_F(TextureView, ExportWritesTheShownTextureOrAllOfThem)
{
    ScriptedDialogService dialogs;
    form->SetDictionary(txd("signs"));
    dialogs.saveFileChoices.push_back(QString::fromStdString(dir.file("zeta.png")));
    form->ActionExportTexture->trigger();
    QImage written(QString::fromStdString(dir.file("zeta.png")));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(64, 32));
    EXPECT_EQ(pixelAt(written, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(written, 0, 31), (Rgba{0, 0, 255, 255}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "SUCCESS: " + QString::fromStdString(dir.file("zeta.png")) + " written.");

    const std::string folder = dir.file("all");
    std::filesystem::create_directories(folder);
    dialogs.folderChoices.push_back(QString::fromStdString(folder));
    form->ActionExportAll->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "SUCCESS: 4 textures written to " + QString::fromStdString(folder) +
                                            ".\nNot decodable: odd");
    for (const char* name : {"zeta.png", "Alpha.png", "mid.png", "flagged.png"})
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / name)) << name;
    EXPECT_EQ(pixelAt(QImage(QString::fromStdString(folder + "/mid.png")), 10, 10), (Rgba{0, 255, 0, 255}));
}

} // namespace
