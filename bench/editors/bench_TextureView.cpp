// Showing a dictionary in the texture viewer on the large demo game: SetDictionary of a
// dictionary not loaded yet (read, decoded, uploaded, listed, the first texture shown)
// and the panel's next picture, for the largest dictionaries of the archive, each shown
// several times from unloaded. Target: under 50 ms.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_TextureView [game folder]

#include "BenchGame.h"
#include "BenchTiming.h"
#include "GLEntryPoints.h"
#include "GLPanel.h"
#include "GLTextureUploader.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "SharedGLContext.h"
#include "TFormTextureView.h"
#include "TGTAImg.h"
#include "ViewSurfaceFormat.h"

#include <QApplication>
#include <QOpenGLContext>
#include <QTest>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    setViewSurfaceDefaults();
    QApplication app(argc, argv);

    const BenchGame game(argc, argv, "quox-bench-textureview");
    if (!game.ready())
        return 1;
    const std::filesystem::path& folder = game.folder();
    programSettings().GameDir = game.gameDir();
    programSettings().LoadModels = true;
    programSettings().LoadTextures = true;
    programSettings().SkipTextures = false;

    std::unique_ptr<GLTextureUploader> uploader;
    std::unique_ptr<TGTAImg> set;
    {
        SharedGLContextScope context;
        glEntryPoints() = loadGLEntryPointsFromCurrentContext([](const char* name) {
            return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name));
        });
        uploader = std::make_unique<GLTextureUploader>(glEntryPoints());
        set = std::make_unique<TGTAImg>(programSettings().GameDir, glEntryPoints().hasCompressedTextures(), uploader.get());
    }

    // The largest dictionaries by their entry's length.
    std::vector<int> largest;
    for (int i = 1; i < set->TxdCount; ++i)
        largest.push_back(i);
    std::sort(largest.begin(), largest.end(),
              [&](int a, int b) { return set->Txds[std::size_t(a)]->Length > set->Txds[std::size_t(b)]->Length; });
    largest.resize(std::min<std::size_t>(largest.size(), 9));

    auto form = std::make_unique<TFormTextureView>(set.get(), nullptr);
    form->resize(640, 480);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }

    std::printf("game %s, %d dictionaries; the %zu largest, each shown 7 times from unloaded\n\n",
                folder.string().c_str(), set->TxdCount, largest.size());
    double worst = 0;
    std::vector<double> medians;
    for (const int index : largest) {
        TGTATxd& dictionary = *set->Txds[std::size_t(index)];
        const double ms = medianMilliseconds(
            [&] {
                form->SetDictionary(index);
                form->ViewPanel->grabFramebuffer();
            },
            7,
            [&] {
                form->SetDictionary(-1);
                SharedGLContextScope context;
                dictionary.Unload();
            });
        std::printf("%-24s %8lld bytes %4d textures %8.2f ms\n", dictionary.Name.c_str(),
                    static_cast<long long>(dictionary.Length), dictionary.TextureCount, ms);
        worst = std::max(worst, ms);
        medians.push_back(ms);
    }
    std::sort(medians.begin(), medians.end());
    std::printf("\n%-34s %9.2f ms\n", "median over those dictionaries", medians[medians.size() / 2]);
    std::printf("%-34s %9.2f ms (target: under 50 ms)\n", "slowest dictionary", worst);

    form.reset();
    {
        SharedGLContextScope context;
        set.reset();
    }
    return 0;
}
