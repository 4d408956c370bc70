#pragma once

#include "TGTAS2dfx.h"
#include "TGTASFile.h"
#include "TGTASObjs.h"
#include "TGTASPath.h"
#include "TGTASTObj.h"

// An IDE file: object definitions (objs, tobj), path groups and 2D effects.
class TIDEFile : public TGTASFile {
public:
    TGTASObjs Objs;
    TGTASTObj TObj;
    TGTASPath Path;
    TGTAS2dfx Fx2d;

    TIDEFile();

    // Definitions take new IDs and texture lookups from the game they belong to.
    void SetContext(const DefinitionContext* context);

protected:
    std::unique_ptr<TGTASFile> makeEmpty() const override { return std::make_unique<TIDEFile>(); }
};
