#include "ViewerTestGame.h"

#include "FileSizeLimit.h"
#include "GLPanel.h"
#include "ScriptedDialogService.h"
#include "TFormTextureView.h"
#include "TxdRgba.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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

// The textures of a dictionary's bytes: name, compression and the colour of the first texel.
struct SavedTexture {
    std::string name;
    int compression;
    Rgba first;
    bool operator==(const SavedTexture&) const = default;
};

std::vector<SavedTexture> savedTextures(const std::vector<std::uint8_t>& bytes)
{
    std::vector<SavedTexture> textures;
    for (const TxdDecodedTexture& texture : decodeTxd(bytes).Textures) {
        const RgbaPicture picture = txdTextureToRgba(texture);
        Rgba first{};
        if (picture.Pixels.size() >= 4)
            first = {picture.Pixels[0], picture.Pixels[1], picture.Pixels[2], picture.Pixels[3]};
        textures.push_back({texture.Texture.Name, texture.Texture.Compression, first});
    }
    return textures;
}

// The bytes of the archive's entry as they are on disk now.
std::vector<std::uint8_t> entryBytes(const std::string& img, const std::string& name)
{
    TGTA3Archive archive(img, false); // opened read-only beside the set that holds the lock
    const int entry = archive.FindEntry(name);
    if (entry < 0)
        return {};
    std::ostringstream out;
    archive.ExtractEntry(entry, out);
    const std::string text = out.str();
    return {text.begin(), text.end()};
}

class TextureEditing : public TextureView {
protected:
    ScriptedDialogService dialogs;
    std::string img;

    void SetUp() override
    {
        TextureView::SetUp();
        img = dir.file("models/gta3.img");
        writePng(dir.file("red.png"), solidImage(8, 8, {255, 0, 0, 255}));
        writePng(dir.file("glass.png"), solidImage(16, 16, {0, 0, 255, 100}));
        writePng(dir.file("wide.png"), solidImage(12, 8, {0, 0, 0, 255}));
    }
    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    void selectNamed(const QString& name) { selectRow(static_cast<int>(rowNames().indexOf(name))); }
};

// Import, delete, rename and save through the window's buttons; the archive entry read back
// from disk holds what the window showed, and the set reads it at once.
TEST_F(TextureEditing, ImportDeleteRenameAndSaveWriteTheArchiveEntry)
{
    const int cyan = txd("cyan");
    const int entries = set->EntryCount();
    form->SetDictionary(cyan);
    EXPECT_FALSE(form->BtnSave->isEnabled());
    EXPECT_EQ(form->ComboImportFormat->currentIndex(), 0);

    dialogs.openFileChoices.push_back({path("red.png"), path("glass.png")});
    QTest::mouseClick(form->BtnImport, Qt::LeftButton);
    ASSERT_EQ(rowNames(), (QStringList{"tex", "red", "glass"}));
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ(form->windowTitle(), "Texture Display - cyan.txd *");
    EXPECT_TRUE(form->BtnSave->isEnabled());
    EXPECT_EQ(form->TextureNameValue->text(), "red"); // the first picture imported is shown
    EXPECT_EQ(form->CompressionValue->text(), "DXT1");
    selectNamed("glass");
    EXPECT_EQ(form->CompressionValue->text(), "DXT3"); // Vice City's usual format with alpha
    // Nothing is written before "Save".
    EXPECT_EQ(savedTextures(entryBytes(img, "cyan.txd")).size(), 1u);

    selectNamed("tex");
    dialogs.answers.push_back(DialogAnswer::Yes);
    QTest::mouseClick(form->BtnDelete, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.back().text, "Delete the texture tex?");
    EXPECT_EQ(rowNames(), (QStringList{"red", "glass"}));

    selectNamed("red");
    dialogs.inputTexts.push_back(QString("Brick_Wall"));
    QTest::mouseClick(form->BtnRename, Qt::LeftButton);
    EXPECT_EQ(rowNames(), (QStringList{"Brick_Wall", "glass"}));
    EXPECT_EQ(form->TextureNameValue->text(), "Brick_Wall");

    dialogs.answers.push_back(DialogAnswer::Yes);
    QTest::mouseClick(form->BtnSave, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.back().text, "Write the changed cyan.txd back to the archive?");
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->windowTitle(), "Texture Display");
    EXPECT_FALSE(form->BtnSave->isEnabled());
    EXPECT_EQ(form->TextureNameValue->text(), "Brick_Wall");

    const std::vector<SavedTexture> onDisk = savedTextures(entryBytes(img, "cyan.txd"));
    ASSERT_EQ(onDisk.size(), 2u);
    EXPECT_EQ(onDisk[0], (SavedTexture{"Brick_Wall", 1, {255, 0, 0, 255}}));
    EXPECT_EQ(onDisk[1].name, "glass");
    EXPECT_EQ(onDisk[1].compression, 3);
    EXPECT_NEAR(onDisk[1].first[3], 100, 9); // DXT3 keeps 4 bits of alpha
    EXPECT_EQ(set->EntryCount(), entries) << "the entry was replaced, not added beside the old one";
    EXPECT_EQ(TGTA3Archive(img, false).EntryCount(), entries);
    // The set reads the new entry: what the 3D view and the second display draw.
    EXPECT_TRUE(set->Txds[cyan]->Loaded);
    EXPECT_EQ(set->Txds[cyan]->TextureCount, 2);
    EXPECT_NE(set->textureId(cyan, "brick_wall"), 0u);
    EXPECT_EQ(set->textureId(cyan, "tex"), 0u);
}

TEST_F(TextureEditing, RefusedNamesAndPicturesChangeNothing)
{
    form->SetDictionary(txd("signs"));
    selectNamed("zeta");
    const struct {
        QString typed;
        QString message;
    } refusals[] = {
        {QString(32, 'x'), "ERROR: a texture name has 1 to 31 characters; " + QString(32, 'x') +
                               " has 32. The texture keeps its name."},
        {"", "ERROR: a texture name has 1 to 31 characters;  has 0. The texture keeps its name."},
        {"MID", "ERROR: signs.txd already has a texture named MID. The texture keeps its name."},
    };
    for (const auto& refusal : refusals) {
        dialogs.inputTexts.push_back(refusal.typed);
        QTest::mouseClick(form->BtnRename, Qt::LeftButton);
        EXPECT_EQ(dialogs.messages.back().text, refusal.message);
        EXPECT_EQ(dialogs.messages.back().kind, MessageKind::Error);
    }
    // 31 characters fit, and a name may change its letter case.
    dialogs.inputTexts.push_back(QString(31, 'y'));
    QTest::mouseClick(form->BtnRename, Qt::LeftButton);
    EXPECT_EQ(rowNames().front(), QString(31, 'y'));
    dialogs.inputTexts.push_back(QString(31, 'Y'));
    QTest::mouseClick(form->BtnRename, Qt::LeftButton);
    EXPECT_EQ(rowNames().front(), QString(31, 'Y'));

    // A side that is not a power of two: the message names the file; nothing is imported.
    const std::size_t messages = dialogs.messages.size();
    dialogs.openFileChoices.push_back({path("red.png"), path("wide.png")});
    QTest::mouseClick(form->BtnImport, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), messages + 1);
    EXPECT_TRUE(dialogs.messages.back().text.startsWith("ERROR: Nothing was imported.\n\n"));
    EXPECT_TRUE(dialogs.messages.back().text.contains("wide.png is 12x8")) << dialogs.messages.back().text.toStdString();
    EXPECT_EQ(rowNames().size(), 5);
    // Asked for, it is resized.
    form->ChkImportResize->setChecked(true);
    dialogs.openFileChoices.push_back({path("wide.png")});
    QTest::mouseClick(form->BtnImport, Qt::LeftButton);
    EXPECT_EQ(rowNames().size(), 6);
    EXPECT_EQ(form->TextureNameValue->text(), "wide");
    EXPECT_EQ(form->SizeValue->text(), "16 x 8");

    // Declining the delete question keeps the texture.
    QTest::mouseClick(form->BtnDelete, Qt::LeftButton);
    EXPECT_EQ(rowNames().size(), 6);
}

#ifndef _WIN32
// A save the disk refuses (a file-size limit) leaves the archive entry or generic.txd
// whole, says so, and keeps the changes on screen.
TEST_F(TextureEditing, FailedSaveLeavesTheOldDictionaryAndKeepsTheChanges)
{
    struct Case {
        const char* dictionary;
        std::string file;
    };
    for (const Case& c : {Case{"cyan", img}, Case{"generic", dir.file("models/generic.txd")}}) {
        form->SetDictionary(txd(c.dictionary));
        const std::vector<std::uint8_t> before = set->Txds[txd(c.dictionary)]->Bytes();
        const auto fileSize = std::filesystem::file_size(c.file);
        dialogs.openFileChoices.push_back({path("red.png")});
        QTest::mouseClick(form->BtnImport, Qt::LeftButton);
        ASSERT_TRUE(form->Modified);

        {
            FileSizeLimit limit(static_cast<rlim_t>(fileSize));
            ASSERT_TRUE(limit.active());
            dialogs.answers.push_back(DialogAnswer::Yes);
            QTest::mouseClick(form->BtnSave, Qt::LeftButton);
        }

        const QString message = dialogs.messages.back().text;
        EXPECT_TRUE(message.startsWith("ERROR: Could not save " + QString(c.dictionary) + ".txd: File too large."))
            << message.toStdString();
        EXPECT_TRUE(message.contains("The saved dictionary is unchanged"));
        EXPECT_TRUE(form->Modified);
        EXPECT_EQ(form->windowTitle(), "Texture Display - " + QString(c.dictionary) + ".txd *");
        EXPECT_EQ(std::filesystem::file_size(c.file), fileSize) << c.dictionary;
        EXPECT_EQ(set->Txds[txd(c.dictionary)]->Bytes(), before) << c.dictionary;
        if (c.file == img) {
            EXPECT_EQ(entryBytes(img, "cyan.txd"), before);
        }

        // With room again the same changes save.
        dialogs.answers.push_back(DialogAnswer::Yes);
        QTest::mouseClick(form->BtnSave, Qt::LeftButton);
        EXPECT_FALSE(form->Modified) << c.dictionary;
        const int index = txd(c.dictionary);
        EXPECT_GE(set->Txds[index]->FindTexture("red"), 0) << c.dictionary;
    }
    // The loose file itself holds the saved texture.
    std::vector<std::uint8_t> generic;
    const std::string text = readFile(dir.file("models/generic.txd"));
    generic.assign(text.begin(), text.end());
    EXPECT_EQ(savedTextures(generic).back(), (SavedTexture{"red", 1, {255, 0, 0, 255}}));
}
#endif

TEST_F(TextureEditing, LeavingOrClosingWithChangesAsksFirst)
{
    const int cyan = txd("cyan");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->SetDictionary(cyan);
    dialogs.openFileChoices.push_back({path("red.png")});
    QTest::mouseClick(form->BtnImport, Qt::LeftButton);

    // Cancel: the window stays with its changes, whatever asked it to leave.
    dialogs.answers.push_back(DialogAnswer::Cancel);
    form->SetDictionary(txd("violet"));
    EXPECT_EQ(dialogs.messages.back().text, "cyan.txd has unsaved changes. Save them?");
    EXPECT_EQ(dialogs.messages.back().buttons, DialogButtons::YesNoCancel);
    EXPECT_EQ(form->DictionaryIndex, cyan);
    dialogs.answers.push_back(DialogAnswer::Cancel);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Modified);
    // Shown again by the archive editor: no question, the changes stay.
    const std::size_t asked = dialogs.messages.size();
    form->SetDictionary(cyan);
    EXPECT_EQ(dialogs.messages.size(), asked);
    EXPECT_EQ(rowNames(), (QStringList{"tex", "red"}));

    // No: the changes are dropped and the next dictionary is shown.
    dialogs.answers.push_back(DialogAnswer::No);
    form->SetDictionary(txd("violet"));
    EXPECT_EQ(form->FilenameValue->text(), "violet.txd");
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(savedTextures(entryBytes(img, "cyan.txd")).size(), 1u);

    // Yes on closing: saved, then closed.
    dialogs.openFileChoices.push_back({path("red.png")});
    QTest::mouseClick(form->BtnImport, Qt::LeftButton);
    dialogs.answers.push_back(DialogAnswer::Yes);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(savedTextures(entryBytes(img, "violet.txd")).back().name, "red");
}

// The program's main window closing takes this window with it: it asks first, and Cancel
// keeps the program open.
TEST_F(TextureEditing, ClosingTheProgramWithChangesAsksFirst)
{
    QWidget main;
    TFormTextureView owned(set.get(), nullptr, &main);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    owned.SetDictionary(txd("cyan"));
    dialogs.openFileChoices.push_back({path("red.png")});
    owned.BtnImport->click();
    ASSERT_TRUE(owned.Modified);
    dialogs.answers.push_back(DialogAnswer::Cancel);
    main.close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(dialogs.messages.back().text, "cyan.txd has unsaved changes. Save them?");
    dialogs.answers.push_back(DialogAnswer::No);
    main.close();
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(owned.Modified);
    EXPECT_EQ(owned.ListTextures->model()->rowCount(), 1) << "the dictionary as saved is shown again";
}

TEST_F(TextureViewPicture, ImportedTextureIsDrawnBeforeAndAfterSaving)
{
    ScriptedDialogService dialogs;
    writePng(dir.file("tex.png"), solidImage(64, 64, {255, 255, 0, 255}));
    form->SetDictionary(txd("cyan"));
    form->ComboImportFormat->setCurrentText("8888");
    dialogs.openFileChoices.push_back({QString::fromStdString(dir.file("tex.png"))});
    form->BtnImport->click();
    EXPECT_EQ(form->CompressionValue->text(), "None");
    EXPECT_EQ(form->BPPValue->text(), "32 bpp");
    EXPECT_EQ(pixelAt(picture(), centre().x(), centre().y()), (Rgba{255, 255, 0, 255}));
    dialogs.answers.push_back(DialogAnswer::Yes);
    form->BtnSave->click();
    ASSERT_FALSE(form->Modified);
    EXPECT_EQ(pixelAt(picture(), centre().x(), centre().y()), (Rgba{255, 255, 0, 255}));
}

} // namespace
